// A plug-in instance as the command-line host drives it: thin helpers over
// the effect record's dispatcher and callbacks. Owns the instance (closes it
// on destruction), not the library. Used from the host's main thread.
#pragma once

#include "Vst2Interface.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vsthost {

class VstPlugin {
public:
  VstPlugin() = default;
  ~VstPlugin();
  VstPlugin(const VstPlugin&) = delete;
  VstPlugin& operator=(const VstPlugin&) = delete;

  // Calls the entry point and checks the record it answers.
  bool Create(VstPluginMainProc entry, audioMasterCallback host, std::string& error);
  void Close();
  AEffect* Effect() const { return effect_; }

  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f) const;
  // Asks a text-answering opcode with a generous, zeroed buffer.
  std::string Text(int32_t opcode, int32_t index = 0) const;

  int ParamCount() const { return effect_->numParams; }
  int ProgramCount() const { return effect_->numPrograms; }
  std::string ParamName(int index) const { return Text(effGetParamName, index); }
  std::string ParamLabel(int index) const { return Text(effGetParamLabel, index); }
  std::string ParamDisplay(int index) const { return Text(effGetParamDisplay, index); }
  std::string ProgramName(int index) const { return Text(effGetProgramNameIndexed, index); }

  // A parameter by its index ("3") or its name, compared without regard to
  // case; -1 when there is none.
  int FindParam(const std::string& key) const;
  // A program by its number or name, as FindParam.
  int FindProgram(const std::string& key) const;

  // Sets a parameter from text as the plug-in displays it ("2000", "Bandpass").
  bool SetParamText(int index, const std::string& text) const;
  void SetParamNormalised(int index, float value) const;
  float ParamNormalised(int index) const;

  // The program state (chunk index 1), as the plug-in gives and takes it.
  std::vector<uint8_t> GetProgramState() const;
  bool SetProgramState(const std::vector<uint8_t>& bytes) const { return SetState(1, bytes); }
  // A chunk of either kind: 0 the bank, 1 the program.
  bool SetState(int32_t kind, const std::vector<uint8_t>& bytes) const;

private:
  AEffect* effect_ = nullptr;
};

} // namespace vsthost
