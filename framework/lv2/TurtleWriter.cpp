#include "framework/lv2/TurtleWriter.h"

#include "framework/lv2/Lv2Ports.h"

#include <charconv>
#include <set>
#include <stdexcept>

namespace quorvane {

namespace {

const char* const kPrefixes = "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
                              "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
                              "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
                              "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                              "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
                              "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
                              "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
                              "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
                              "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                              "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
                              "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
                              "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
                              "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

struct KnownUnit {
  const char* text;
  const char* unit;
};
constexpr KnownUnit kKnownUnits[] = {
    {"Hz", "units:hz"}, {"kHz", "units:khz"}, {"%", "units:pc"},
    {"ms", "units:ms"}, {"s", "units:s"},     {"dB", "units:db"},
};

// Locale-independent and exact: the shortest text that reads back as the same double, always
// with a point or an exponent, so that hosts read a float rather than an integer.
std::string Number(double v) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, v);
  std::string number(text, result.ptr);
  if (number.find_first_of(".e") == std::string::npos) number += ".0";
  return number;
}

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string Uri(const std::string& uri) {
  return "<" + uri + ">";
}

std::string UnitOf(const IParameter& param) {
  const std::string text = param.Unit();
  if (text.empty()) return {};
  for (const KnownUnit& known : kKnownUnits)
    if (text == known.text) return known.unit;
  return "[ a units:Unit ; rdfs:label " + Quoted(text) + " ; units:symbol " + Quoted(text) +
         " ; units:render " + Quoted("%f " + text) + " ]";
}

std::string PresetSlug(const std::string& name) {
  const std::string slug = Lv2Slug(name, '-');
  return slug.empty() ? "preset" : slug;
}

struct Port {
  std::string name;
  std::string symbol;
};

// The parameters' ports in index order, then the readout's.
std::vector<Port> ControlPorts(const IEffectBase& effect, const Lv2ModuleInfo& module) {
  std::vector<std::string> names;
  for (int32_t i = 0; i < effect.ParamCount(); ++i) {
    const char* fallback = i == module.triggerParam ? module.triggerName : nullptr;
    names.push_back(Lv2PortName(*effect.Param(i), fallback));
    if (names.back().empty()) names.back() = "Parameter " + std::to_string(i + 1);
  }
  names.push_back(module.readoutName);
  names.push_back(std::string(module.readoutName) + " Active");
  std::vector<Port> ports;
  std::set<std::string> symbols;
  for (const std::string& name : names) {
    const Port port{name, Lv2PortSymbol(name)};
    // Hosts address ports by symbol; two alike would make presets ambiguous.
    if (!symbols.insert(port.symbol).second)
      throw std::runtime_error("two ports have the symbol " + port.symbol);
    ports.push_back(port);
  }
  return ports;
}

std::string SimplePort(const char* classes, uint32_t index, const char* symbol, const char* name) {
  return std::string("[\n\t\ta ") + classes + " ;\n\t\tlv2:index " + std::to_string(index) +
         " ;\n\t\tlv2:symbol " + Quoted(symbol) + " ;\n\t\tlv2:name " + Quoted(name);
}

std::string ControlPort(const IParameter& param, const Port& port, uint32_t index, bool trigger) {
  std::string text =
      SimplePort("lv2:InputPort , lv2:ControlPort", index, port.symbol.c_str(), port.name.c_str());
  text += " ;\n\t\tlv2:default " + Number(param.Value()) + " ;\n\t\tlv2:minimum " +
          Number(param.Minimum()) + " ;\n\t\tlv2:maximum " + Number(param.Maximum());
  std::vector<std::string> properties;
  const bool stepped = param.Kind() == ParamKind::Integer || param.Kind() == ParamKind::Choice ||
                       param.Kind() == ParamKind::Toggle || trigger;
  if (stepped) properties.push_back("lv2:integer");
  if (param.Kind() == ParamKind::Choice) properties.push_back("lv2:enumeration");
  if (param.Kind() == ParamKind::Toggle || trigger) properties.push_back("lv2:toggled");
  if (trigger) properties.push_back("pprops:trigger");
  for (std::size_t i = 0; i < properties.size(); ++i)
    text += (i == 0 ? " ;\n\t\tlv2:portProperty " : " , ") + properties[i];
  const std::string unit = UnitOf(param);
  if (!unit.empty()) text += " ;\n\t\tunits:unit " + unit;
  for (int32_t i = 0; i < param.ValueNameCount(); ++i) {
    const ValueName* entry = param.ValueNameAt(i);
    text += (i == 0 ? " ;\n\t\tlv2:scalePoint " : " , ");
    text += "[ rdfs:label " + Quoted(entry->text) + " ; rdf:value " +
            Number(static_cast<double>(entry->key)) + " ]";
  }
  return text + "\n\t]";
}

std::string ReadoutPorts(const std::vector<Port>& ports, int32_t paramCount) {
  const Port& position = ports[static_cast<std::size_t>(paramCount) + kLv2ReadoutPosition];
  const Port& active = ports[static_cast<std::size_t>(paramCount) + kLv2ReadoutActive];
  const char* output = "lv2:OutputPort , lv2:ControlPort";
  return SimplePort(output, Lv2ReadoutPortIndex(paramCount, kLv2ReadoutPosition),
                    position.symbol.c_str(), position.name.c_str()) +
         " ;\n\t\tlv2:minimum 0.0 ;\n\t\tlv2:maximum 1.0\n\t] , " +
         SimplePort(output, Lv2ReadoutPortIndex(paramCount, kLv2ReadoutActive),
                    active.symbol.c_str(), active.name.c_str()) +
         " ;\n\t\tlv2:minimum 0.0 ;\n\t\tlv2:maximum 1.0 ;\n\t\tlv2:portProperty lv2:integer , "
         "lv2:toggled\n\t]";
}

// The editor in the host's X11 window. It draws on its own thread, so the host's idle calls only
// carry its changes to the host; it keeps one size.
std::string UiText(const Lv2ModuleInfo& module, const std::vector<Port>& ports,
                   int32_t paramCount) {
  std::string text = Uri(module.uiUri) + "\n\ta ui:X11UI ;\n";
  text += "\tlv2:requiredFeature ui:parent , ui:idleInterface ;\n";
  text += "\tlv2:optionalFeature ui:resize , ui:noUserResize , ui:touch ;\n";
  text += "\tlv2:extensionData ui:idleInterface , ui:resize ;\n\tui:portNotification ";
  for (uint32_t r = 0; r < kLv2ReadoutPortCount; ++r) {
    text += std::string(r > 0 ? " , " : "") + "[\n\t\tui:plugin " + Uri(module.pluginUri) +
            " ;\n\t\tlv2:symbol " + Quoted(ports[static_cast<std::size_t>(paramCount) + r].symbol) +
            " ;\n\t\tui:protocol ui:floatProtocol\n\t]";
  }
  return text + " .\n";
}

std::string PluginText(const IEffectBase& effect, const Lv2ModuleInfo& module,
                       const std::vector<Port>& ports) {
  std::string text = kPrefixes;
  text += Uri(module.pluginUri) + "\n\ta lv2:Plugin , lv2:FilterPlugin , doap:Project ;\n";
  text += "\tdoap:name " + Quoted(effect.EffectName()) + " ;\n";
  text += "\tdoap:maintainer [ foaf:name " + Quoted(effect.VendorName()) + " ; foaf:homepage " +
          Uri(module.homepage) + " ] ;\n";
  // The packed version: minor in bits 8-15, patch in bits 0-7.
  text += "\tlv2:minorVersion " + std::to_string((effect.Version() >> 8) & 0xFF) + " ;\n";
  text += "\tlv2:microVersion " + std::to_string(effect.Version() & 0xFF) + " ;\n";
  text += "\tlv2:optionalFeature lv2:hardRTCapable , urid:map ;\n";
  text += "\tlv2:extensionData state:interface ;\n";
  text += "\tui:ui " + Uri(module.uiUri) + " ;\n\tlv2:port ";
  text += SimplePort("lv2:InputPort , lv2:AudioPort", kLv2AudioInLeft, "in_left", "Left In") +
          "\n\t] , ";
  text += SimplePort("lv2:InputPort , lv2:AudioPort", kLv2AudioInRight, "in_right", "Right In") +
          "\n\t] , ";
  text += SimplePort("lv2:OutputPort , lv2:AudioPort", kLv2AudioOutLeft, "out_left", "Left Out") +
          "\n\t] , ";
  text +=
      SimplePort("lv2:OutputPort , lv2:AudioPort", kLv2AudioOutRight, "out_right", "Right Out") +
      "\n\t] , ";
  // Optional, so that hosts without MIDI (a file renderer) can still run the effect.
  const char* midiPort = " ;\n\t\tatom:bufferType atom:Sequence ;\n\t\tatom:supports "
                         "midi:MidiEvent ;\n\t\tlv2:portProperty lv2:connectionOptional\n\t] , ";
  text += SimplePort("lv2:InputPort , atom:AtomPort", kLv2MidiIn, "midi_in", "MIDI In") +
          " ;\n\t\tlv2:designation lv2:control" + midiPort;
  text +=
      SimplePort("lv2:OutputPort , atom:AtomPort", kLv2MidiOut, "midi_out", "MIDI Out") + midiPort;
  for (int32_t i = 0; i < effect.ParamCount(); ++i) {
    if (i > 0) text += " , ";
    text += ControlPort(*effect.Param(i), ports[static_cast<std::size_t>(i)],
                        Lv2ControlPortIndex(i), i == module.triggerParam);
  }
  text += " , " + ReadoutPorts(ports, effect.ParamCount()) + " .\n\n";
  return text + UiText(module, ports, effect.ParamCount());
}

} // namespace

Lv2TurtleFiles WriteLv2Turtle(const IEffectBase& effect, const Lv2ModuleInfo& module,
                              const std::string& binaryFile, const std::string& uiBinaryFile) {
  const std::vector<Port> ports = ControlPorts(effect, module);
  Lv2TurtleFiles files;
  files.plugin = PluginText(effect, module, ports);
  files.manifest = std::string(kPrefixes) + Uri(module.pluginUri) +
                   "\n\ta lv2:Plugin ;\n\tlv2:binary " + Uri(binaryFile) + " ;\n\trdfs:seeAlso " +
                   Uri(kLv2PluginFile) + " .\n\n" + Uri(module.uiUri) +
                   "\n\ta ui:X11UI ;\n\tui:binary " + Uri(uiBinaryFile) + " ;\n\trdfs:seeAlso " +
                   Uri(kLv2PluginFile) + " .\n";
  files.presets = kPrefixes;
  std::set<std::string> slugs;
  for (int32_t p = 0; p < effect.PresetCount(); ++p) {
    const Preset* preset = effect.PresetAt(p);
    if (!preset->initialised) continue;
    std::string slug = PresetSlug(preset->name);
    if (!slugs.insert(slug).second) slug += "-" + std::to_string(p + 1);
    const std::string uri = Uri(std::string(module.pluginUri) + "/presets#" + slug);
    files.manifest += "\n" + uri + "\n\ta pset:Preset ;\n\tlv2:appliesTo " + Uri(module.pluginUri) +
                      " ;\n\trdfs:seeAlso " + Uri(kLv2PresetsFile) + " .\n";
    files.presets += uri + "\n\ta pset:Preset ;\n\tlv2:appliesTo " + Uri(module.pluginUri) +
                     " ;\n\trdfs:label " + Quoted(preset->name) + " ;\n\tlv2:port ";
    int32_t pos = 0;
    for (int32_t i = 0; i < effect.ParamCount(); ++i) {
      double value = 0.0;
      pos = preset->state.ReadDouble(&value, pos);
      // Stored unclamped; loading a program clamps, and so does this.
      value = effect.Param(i)->ClampToRange(pos < 0 ? 0.0 : value);
      files.presets += std::string(i > 0 ? " , " : "") + "[\n\t\tlv2:symbol " +
                       Quoted(ports[static_cast<std::size_t>(i)].symbol) + " ;\n\t\tpset:value " +
                       Number(value) + "\n\t]";
    }
    files.presets += " .\n\n";
  }
  return files;
}

} // namespace quorvane
