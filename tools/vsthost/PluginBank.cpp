#include "PluginBank.h"

#include "FileBytes.h"

#include <algorithm>
#include <cstring>

namespace vsthost {

FxBank ReadPluginBank(const VstPlugin& plugin) {
  const AEffect* effect = plugin.Effect();
  FxBank bank;
  bank.pluginId = effect->uniqueID;
  bank.pluginVersion = effect->version;
  bank.currentProgram = static_cast<int32_t>(plugin.Dispatch(effGetProgram));
  bank.programs.resize(static_cast<size_t>(plugin.ProgramCount()));
  // Names first: selecting a slot that was never used may name it anew.
  for (int i = 0; i < plugin.ProgramCount(); ++i)
    bank.programs[static_cast<size_t>(i)].name = plugin.ProgramName(i);
  // From the last program down, so that a never-used slot, which takes the
  // live values when selected, takes those current before the bank was read
  // rather than its neighbour's.
  for (int i = plugin.ProgramCount() - 1; i >= 0; --i) {
    plugin.Dispatch(effSetProgram, 0, i);
    std::vector<float>& values = bank.programs[static_cast<size_t>(i)].values;
    for (int p = 0; p < plugin.ParamCount(); ++p)
      values.push_back(plugin.ParamNormalised(p));
  }
  plugin.Dispatch(effSetProgram, 0, bank.currentProgram);
  return bank;
}

bool ApplyPluginBank(const VstPlugin& plugin, const FxBank& bank, std::string& error) {
  const AEffect* effect = plugin.Effect();
  if (bank.pluginId != effect->uniqueID) {
    error = "the bank was made for another plug-in";
    return false;
  }
  const size_t paramCount = bank.programs.empty() ? 0 : bank.programs.front().values.size();
  if (bank.programs.empty() || bank.programs.size() != static_cast<size_t>(plugin.ProgramCount()) ||
      paramCount != static_cast<size_t>(plugin.ParamCount())) {
    error = "the bank holds " + std::to_string(bank.programs.size()) + " programs of " +
            std::to_string(paramCount) + " parameters; the plug-in has " +
            std::to_string(plugin.ProgramCount()) + " of " + std::to_string(plugin.ParamCount());
    return false;
  }
  for (size_t i = 0; i < bank.programs.size(); ++i) {
    const FxProgram& program = bank.programs[i];
    plugin.Dispatch(effSetProgram, 0, static_cast<intptr_t>(i));
    for (size_t p = 0; p < program.values.size(); ++p)
      plugin.SetParamNormalised(static_cast<int>(p), program.values[p]);
    char name[64] = {};
    std::memcpy(name, program.name.data(), std::min(program.name.size(), sizeof name - 1));
    plugin.Dispatch(effSetProgramName, 0, 0, name);
  }
  plugin.Dispatch(effSetProgram, 0, bank.currentProgram);
  return true;
}

bool LoadBankFile(const VstPlugin& plugin, const std::string& path, std::string& error) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes, error)) return false;
  FxBank bank;
  if (DecodeFxBank(bytes, bank, error) && ApplyPluginBank(plugin, bank, error)) return true;
  error = path + ": " + error;
  return false;
}

bool SaveBankFile(const VstPlugin& plugin, const std::string& path, std::string& error) {
  const FxBank bank = ReadPluginBank(plugin);
  if (bank.programs.empty()) {
    error = "the plug-in has no programs to save";
    return false;
  }
  return WriteFileBytes(path, EncodeFxBank(bank), error);
}

} // namespace vsthost
