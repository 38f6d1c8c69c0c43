#include "Report.h"

#include <cstdarg>
#include <cstdio>

namespace vsthost {
namespace {

std::string FourCC(int32_t code) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((static_cast<uint32_t>(code) >> shift) & 0xFFu);
    text += (c >= 32 && c < 127) ? c : '?';
  }
  return text;
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Format(const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

std::string PinText(const VstPlugin& plugin, int32_t opcode, int index) {
  VstPinProperties pin{};
  if (plugin.Dispatch(opcode, index, 0, &pin) == 0) return "(no properties)";
  pin.label[sizeof pin.label - 1] = '\0';
  std::string text = pin.label;
  if (pin.flags & kVstPinIsActive) text += ", active";
  if (pin.flags & kVstPinIsStereo) text += ", stereo pair";
  return text;
}

} // namespace

std::string DecimalVersionText(intptr_t version) {
  return Format("%ld.%ld.%ld", static_cast<long>(version / 10000),
                static_cast<long>(version / 100 % 100), static_cast<long>(version % 100));
}

std::string PluginReport(const VstPlugin& plugin) {
  const AEffect* effect = plugin.Effect();
  std::string text;
  text += "Name:       " + plugin.Text(effGetEffectName) + "\n";
  text += "Vendor:     " + plugin.Text(effGetVendorString) + "\n";
  const std::string product = plugin.Text(effGetProductString);
  if (!product.empty()) text += "Product:    " + product + "\n";
  text += "Version:    " + DecimalVersionText(plugin.Dispatch(effGetVendorVersion)) + "\n";
  text += Format("Unique ID:  '%s' (0x%08X)\n", FourCC(effect->uniqueID).c_str(),
                 static_cast<unsigned>(effect->uniqueID));
  text += Format("Interface:  VST %ld\n", static_cast<long>(plugin.Dispatch(effGetVstVersion)));
  text += Format("Category:   %s\n",
                 plugin.Dispatch(effGetPlugCategory) == kPlugCategSynth ? "instrument" : "effect");
  std::string flags;
  if (effect->flags & effFlagsHasEditor) flags += " editor";
  if (effect->flags & effFlagsCanReplacing) flags += " float";
  if (effect->flags & effFlagsCanDoubleReplacing) flags += " double";
  if (effect->flags & effFlagsCanMono) flags += " mono";
  if (effect->flags & effFlagsProgramChunks) flags += " chunks";
  text += "Features:  " + (flags.empty() ? std::string(" none") : flags) + "\n";
  text += Format("Latency:    %d samples\n", effect->initialDelay);
  text += Format("Inputs:     %d\n", effect->numInputs);
  for (int i = 0; i < effect->numInputs; ++i) {
    text += Format("  %d  %s\n", i, PinText(plugin, effGetInputProperties, i).c_str());
  }
  text += Format("Outputs:    %d\n", effect->numOutputs);
  for (int i = 0; i < effect->numOutputs; ++i) {
    text += Format("  %d  %s\n", i, PinText(plugin, effGetOutputProperties, i).c_str());
  }

  text += Format("Parameters: %d\n", plugin.ParamCount());
  text += Format("  %-3s %-24s %-14s %-6s %s\n", "#", "name", "value", "unit", "normalised");
  for (int i = 0; i < plugin.ParamCount(); ++i) {
    const std::string name = plugin.ParamName(i);
    text += Format("  %-3d %-24s %-14s %-6s %.6f\n", i, name.empty() ? "(unnamed)" : name.c_str(),
                   plugin.ParamDisplay(i).c_str(), plugin.ParamLabel(i).c_str(),
                   static_cast<double>(plugin.ParamNormalised(i)));
  }

  const intptr_t current = plugin.Dispatch(effGetProgram);
  text +=
      Format("Programs:   %d (current %ld)\n", plugin.ProgramCount(), static_cast<long>(current));
  for (int i = 0; i < plugin.ProgramCount(); ++i) {
    text += Format("  %c %-3d %s\n", i == current ? '*' : ' ', i, plugin.ProgramName(i).c_str());
  }
  return text;
}

} // namespace vsthost
