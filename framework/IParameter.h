#pragma once

// One automatable value of the plug-in, stored in its own units (Hz, ms, %, an index) as a
// double. Hosts and the editor see it as a normalised number between 0 and 1; the conversion in
// both directions, the display text and the parsing of typed text live here.
//
// No lock of its own: changes, and reads made for the host or the audio thread, happen under the
// plug-in lock. The editor reads texts and the value while painting without the lock; the texts
// are fixed after definition.

#include "framework/ParamKind.h"
#include "framework/RelaxedAtomic.h"
#include "framework/ValueName.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorvane {

class IParameter {
public:
  static constexpr int kTextSize = 32; // name and unit, with terminator
  static constexpr int kMaxDecimals = 6;

  // Defining: one of these once, from the effect's constructor; then SetCurve / AddValueName.
  // Texts longer than 31 characters are cut.
  void DefineReal(const char* name, double defaultValue, double minimum, double maximum,
                  double step, const char* unit);
  void DefineInteger(const char* name, int32_t defaultValue, int32_t minimum, int32_t maximum,
                     const char* unit);
  void DefineChoice(const char* name, int32_t defaultValue, int32_t count, const char* unit);
  void DefineToggle(const char* name, bool defaultValue, const char* unit);
  // Exponent of the normalised mapping; 0 and NaN are refused.
  void SetCurve(double exponent);
  void AddValueName(int32_t key, const char* text);

  ParamKind Kind() const { return kind; }
  double Value() const { return value; }
  double Minimum() const { return minimum; }
  double Maximum() const { return maximum; }
  double Step() const { return step; }
  double Curve() const { return curve; }
  int32_t Decimals() const { return decimals; }
  const char* Name() const { return name; }
  const char* Unit() const { return unit; }
  void Bounds(double* outMinimum, double* outMaximum) const;

  // v forced into [minimum, maximum]; NaN gives minimum.
  double ClampToRange(double v) const;
  // Stores v clamped into the range, without rounding to the step (state chunks, typed text).
  void SetClampedValue(double v);
  // Puts back a value exactly as Value() answered it, to undo a refused change.
  void RestoreValue(double v) { value = v; }

  // x forced into [0, 1]; NaN gives 0.
  static double ClampNormalised(double x);
  double Normalised() const { return NormaliseValue(value); }
  double NormaliseValue(double v) const;
  void SetFromNormalised(double x);

  int32_t ValueNameCount() const { return static_cast<int32_t>(valueNames.size()); }
  // Entry i in the order added, or null outside the list (for pick lists).
  const ValueName* ValueNameAt(int32_t i) const;
  // Text of the first entry with this key, or "".
  const char* ValueNameFor(int32_t key) const;
  // Exact, case-sensitive match of text against the entries; the first equal one gives the key.
  bool KeyForValueName(const char* text, int32_t* key) const;

  // Display text of v (in the parameter's units, or normalised when the flag says so) into out,
  // always terminated and cut to outSize bytes.
  void FormatValue(double v, bool normalised, char* out, std::size_t outSize) const;
  // A value name's key, else the leading decimal number of the text, else 0.0. Not clamped.
  double ParseValue(const char* text) const;

private:
  double FromNormalisedUnrounded(double x) const;

  ParamKind kind = ParamKind::Unset;
  // Written under the plug-in lock; the editor reads it while painting, without.
  RelaxedAtomic<double> value{0.0};
  double minimum = 0.0;
  double maximum = 1.0;
  double step = 1.0;
  double curve = 1.0;
  int32_t decimals = 0;
  char name[kTextSize] = {};
  char unit[kTextSize] = {};
  std::vector<ValueName> valueNames;
};

} // namespace quorvane
