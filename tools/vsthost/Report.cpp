#include "Report.h"

#include "JsonWriter.h"

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

struct Pin {
  bool known = false;
  std::string label;
  bool active = false, stereo = false;
};

Pin PinOf(const VstPlugin& plugin, int32_t opcode, int index) {
  VstPinProperties pin{};
  Pin out;
  if (plugin.Dispatch(opcode, index, 0, &pin) == 0) return out;
  pin.label[sizeof pin.label - 1] = '\0';
  out = {true, pin.label, (pin.flags & kVstPinIsActive) != 0, (pin.flags & kVstPinIsStereo) != 0};
  return out;
}

std::string PinText(const Pin& pin) {
  if (!pin.known) return "(no properties)";
  return pin.label + (pin.active ? ", active" : "") + (pin.stereo ? ", stereo pair" : "");
}

std::vector<std::string> Features(const AEffect* effect) {
  std::vector<std::string> features;
  const std::pair<int32_t, const char*> kFlags[] = {{effFlagsHasEditor, "editor"},
                                                    {effFlagsCanReplacing, "float"},
                                                    {effFlagsCanDoubleReplacing, "double"},
                                                    {effFlagsCanMono, "mono"},
                                                    {effFlagsProgramChunks, "chunks"}};
  for (const auto& [flag, name] : kFlags) {
    if (effect->flags & flag) features.push_back(name);
  }
  return features;
}

bool IsInstrument(const VstPlugin& plugin) {
  return plugin.Dispatch(effGetPlugCategory) == kPlugCategSynth;
}

void JsonPins(JsonWriter& json, const VstPlugin& plugin, int32_t opcode, int count) {
  json.BeginArray();
  for (int i = 0; i < count; ++i) {
    const Pin pin = PinOf(plugin, opcode, i);
    json.BeginObject().Key("index").Number(i).Key("label").String(pin.label);
    json.Key("active").Bool(pin.active).Key("stereo").Bool(pin.stereo).EndObject();
  }
  json.EndArray();
}

} // namespace

std::string DecimalVersionText(intptr_t version) {
  return Format("%ld.%ld.%ld", static_cast<long>(version / 10000),
                static_cast<long>(version / 100 % 100), static_cast<long>(version % 100));
}

std::string PluginReport(const VstPlugin& plugin, const std::string& entryName) {
  const AEffect* effect = plugin.Effect();
  std::string text;
  text += "Name:       " + plugin.Text(effGetEffectName) + "\n";
  text += "Vendor:     " + plugin.Text(effGetVendorString) + "\n";
  const std::string product = plugin.Text(effGetProductString);
  if (!product.empty()) text += "Product:    " + product + "\n";
  text += "Version:    " + DecimalVersionText(plugin.Dispatch(effGetVendorVersion)) + "\n";
  text += Format("Unique ID:  '%s' (0x%08X)\n", FourCC(effect->uniqueID).c_str(),
                 static_cast<unsigned>(effect->uniqueID));
  text += Format("Interface:  VST %ld, entry point %s\n",
                 static_cast<long>(plugin.Dispatch(effGetVstVersion)), entryName.c_str());
  text += Format("Category:   %s\n", IsInstrument(plugin) ? "instrument" : "effect");
  std::string flags;
  for (const std::string& feature : Features(effect))
    flags += " " + feature;
  text += "Features:  " + (flags.empty() ? std::string(" none") : flags) + "\n";
  text += Format("Latency:    %d samples\n", effect->initialDelay);
  text += Format("Inputs:     %d\n", effect->numInputs);
  for (int i = 0; i < effect->numInputs; ++i) {
    text += Format("  %d  %s\n", i, PinText(PinOf(plugin, effGetInputProperties, i)).c_str());
  }
  text += Format("Outputs:    %d\n", effect->numOutputs);
  for (int i = 0; i < effect->numOutputs; ++i) {
    text += Format("  %d  %s\n", i, PinText(PinOf(plugin, effGetOutputProperties, i)).c_str());
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

std::string PluginJson(const VstPlugin& plugin, const std::vector<ParamInfo>& params,
                       const std::string& entryName) {
  const AEffect* effect = plugin.Effect();
  JsonWriter json;
  json.BeginObject();
  json.Key("name").String(plugin.Text(effGetEffectName));
  json.Key("vendor").String(plugin.Text(effGetVendorString));
  json.Key("product").String(plugin.Text(effGetProductString));
  json.Key("version").String(DecimalVersionText(plugin.Dispatch(effGetVendorVersion)));
  json.Key("uniqueId")
      .Number(effect->uniqueID)
      .Key("uniqueIdText")
      .String(FourCC(effect->uniqueID));
  json.Key("vstVersion").Number(static_cast<double>(plugin.Dispatch(effGetVstVersion)));
  json.Key("entryPoint").String(entryName);
  json.Key("category").String(IsInstrument(plugin) ? "instrument" : "effect");
  json.Key("features").BeginArray();
  for (const std::string& feature : Features(effect))
    json.String(feature);
  json.EndArray();
  json.Key("latency").Number(effect->initialDelay);
  json.Key("inputs");
  JsonPins(json, plugin, effGetInputProperties, effect->numInputs);
  json.Key("outputs");
  JsonPins(json, plugin, effGetOutputProperties, effect->numOutputs);

  json.Key("parameters").BeginArray();
  for (const ParamInfo& p : params) {
    json.BeginObject().Key("index").Number(p.index).Key("name").String(p.name);
    json.Key("unit").String(p.unit);
    json.Key("range");
    if (p.numeric)
      json.BeginObject().Key("min").Number(p.minValue).Key("max").Number(p.maxValue).EndObject();
    else
      json.BeginObject().EndObject();
    json.Key("default").BeginObject().Key("normalised").Number(p.defaultNormalised);
    json.Key("text").String(p.defaultText).EndObject();
    json.Key("value").BeginObject().Key("normalised").Number(plugin.ParamNormalised(p.index));
    json.Key("text").String(plugin.ParamDisplay(p.index)).EndObject();
    json.Key("valueNames").BeginArray();
    for (const ParamChoice& choice : p.choices)
      json.String(choice.name);
    json.EndArray().EndObject();
  }
  json.EndArray();

  json.Key("programs").BeginObject();
  json.Key("current").Number(static_cast<double>(plugin.Dispatch(effGetProgram)));
  json.Key("names").BeginArray();
  for (int i = 0; i < plugin.ProgramCount(); ++i)
    json.String(plugin.ProgramName(i));
  json.EndArray().EndObject();
  json.EndObject();
  return json.Text() + "\n";
}

} // namespace vsthost
