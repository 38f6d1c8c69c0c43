#pragma once

// One instance of the real effect, created the way the entry point creates it and driven only
// through its effect record, with a host callback that checks what the plug-in sends the host.
// Also the checks every fuzz target makes on the plug-in after each input. Single-threaded: one
// fuzz target drives one instance at a time.

#include "framework/vst2/IEffectVST.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorvane {

// What the fuzzing host answers when the plug-in asks about it.
struct FuzzHostAnswers {
  char product[64] = {};
  intptr_t vendorVersion = 0;
  bool hasTime = false;
  VstTimeInfo time{};
};

class FuzzPlugin {
public:
  explicit FuzzPlugin(const FuzzHostAnswers& answers = FuzzHostAnswers());
  ~FuzzPlugin(); // effClose
  FuzzPlugin(const FuzzPlugin&) = delete;
  FuzzPlugin& operator=(const FuzzPlugin&) = delete;

  AEffect* Record() const { return record; }
  // The object behind the record, for reading parameter definitions and values only.
  const IEffectVST& Plugin() const { return *plugin; }
  int32_t ParamCount() const { return record->numParams; }

  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f);
  float GetParameter(int32_t index) { return record->getParameter(record, index); }
  void SetParameter(int32_t index, float value) { record->setParameter(record, index, value); }

  // A copy of what effGetChunk answers (bank or program); empty when it answers 0.
  std::vector<uint8_t> Chunk(bool bank);
  // effSetChunk with these bytes; the answer.
  intptr_t SetChunk(bool bank, const std::vector<uint8_t>& bytes);
  // Every parameter's value in its own units, in index order.
  std::vector<double> Values() const;

  // Every parameter lies inside its range and answers getParameter with a finite number in
  // [0, 1]; indices outside the list answer 0.
  void CheckParameters();
  // One short block through the float callback: the output is finite.
  void CheckAudio();

private:
  static intptr_t VSTCALLBACK HostCallback(AEffect* effect, int32_t opcode, int32_t index,
                                           intptr_t value, void* ptr, float opt);
  intptr_t AnswerHost(int32_t opcode, int32_t index, void* ptr, float opt);

  FuzzHostAnswers answers;
  IEffectVST* plugin = nullptr;
  AEffect* record = nullptr;
};

// Requires every sample to be finite and, unless denormalsAllowed, not denormal (a float
// output may pass on a denormal float input unchanged).
void CheckSamples(const float* samples, int32_t frames, bool denormalsAllowed, const char* where);
void CheckSamples(const double* samples, int32_t frames, const char* where);

} // namespace quorvane
