#include "tests/lv2/Lv2TestHost.h"

#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <lv2/presets/presets.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

constexpr const char* kPluginUri = "https://kelto.example/plugins/quorvane";
constexpr std::size_t kAtomBufferBytes = 8192;

// Collects what is written to standard error while it lives.
class StderrCapture {
public:
  StderrCapture() {
    std::fflush(stderr);
    file = std::tmpfile();
    saved = dup(2);
    dup2(fileno(file), 2);
  }
  std::string Finish() {
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::string text;
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;)
      text += static_cast<char>(c);
    std::fclose(file);
    return text;
  }

private:
  std::FILE* file = nullptr;
  int saved = -1;
};

struct PresetValues {
  LV2_URID floatType;
  std::map<std::string, float>* values;
};

void SetPreset(const char* symbol, void* target, const void* value, uint32_t size, uint32_t type) {
  const auto* preset = static_cast<const PresetValues*>(target);
  if (size == sizeof(float) && type == preset->floatType)
    (*preset->values)[symbol] = *static_cast<const float*>(value);
}

} // namespace

Lv2TestWorld::Lv2TestWorld() {
  map.handle = this;
  map.map = &Lv2TestWorld::Map;
  mapFeature = {LV2_URID__map, &map};
  features[0] = &mapFeature;
  StderrCapture capture;
  world = lilv_world_new();
  LilvNode* bundle = lilv_new_file_uri(world, nullptr, QUORVANE_LV2_BUNDLE);
  lilv_world_load_bundle(world, bundle);
  lilv_node_free(bundle);
  LilvNode* uri = lilv_new_uri(world, kPluginUri);
  plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
  lilv_node_free(uri);
  if (plugin != nullptr) {
    LilvNode* presetClass = lilv_new_uri(world, LV2_PRESETS__Preset);
    LilvNodes* presets = lilv_plugin_get_related(plugin, presetClass);
    LILV_FOREACH(nodes, i, presets)
    lilv_world_load_resource(world, lilv_nodes_get(presets, i));
    lilv_nodes_free(presets);
    lilv_node_free(presetClass);
  }
  loadMessages = capture.Finish();
}

Lv2TestWorld::~Lv2TestWorld() {
  lilv_world_free(world);
}

LV2_URID Lv2TestWorld::Map(LV2_URID_Map_Handle handle, const char* uri) {
  auto& uris = static_cast<Lv2TestWorld*>(handle)->uris;
  for (std::size_t i = 0; i < uris.size(); ++i)
    if (uris[i] == uri) return static_cast<LV2_URID>(i + 1);
  uris.emplace_back(uri);
  return static_cast<LV2_URID>(uris.size());
}

std::map<std::string, std::map<std::string, float>> Lv2TestWorld::Presets() {
  std::map<std::string, std::map<std::string, float>> presets;
  LilvNode* presetClass = lilv_new_uri(world, LV2_PRESETS__Preset);
  LilvNodes* nodes = lilv_plugin_get_related(plugin, presetClass);
  LILV_FOREACH(nodes, i, nodes) {
    LilvState* state = lilv_state_new_from_world(world, &map, lilv_nodes_get(nodes, i));
    if (state == nullptr) continue;
    PresetValues target{Urid(LV2_ATOM__Float), &presets[lilv_state_get_label(state)]};
    lilv_state_emit_port_values(state, &SetPreset, &target);
    lilv_state_free(state);
  }
  lilv_nodes_free(nodes);
  lilv_node_free(presetClass);
  return presets;
}

Lv2TestInstance::Lv2TestInstance(Lv2TestWorld& owner, double sampleRate) : world(owner) {
  const LilvPlugin* plugin = world.Plugin();
  if (plugin == nullptr) return;
  const uint32_t ports = lilv_plugin_get_num_ports(plugin);
  portValues.assign(ports, 0.0f);
  std::vector<float> defaults(ports, 0.0f);
  lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, defaults.data());
  portValues = defaults;
  midiIn.assign(kAtomBufferBytes / 8, 0);
  midiOut.assign(kAtomBufferBytes / 8, 0);
  instance = lilv_plugin_instantiate(plugin, sampleRate, world.Features());
  if (instance == nullptr) return;
  LilvNode* controlClass = lilv_new_uri(world.World(), LILV_URI_CONTROL_PORT);
  for (uint32_t i = 0; i < ports; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
    if (lilv_port_is_a(plugin, port, controlClass))
      lilv_instance_connect_port(instance, i, &portValues[i]);
  }
  lilv_node_free(controlClass);
  lilv_instance_activate(instance);
}

Lv2TestInstance::~Lv2TestInstance() {
  if (instance == nullptr) return;
  lilv_instance_deactivate(instance);
  lilv_instance_free(instance);
}

float* Lv2TestInstance::ControlBuffer(const std::string& symbol) {
  LilvNode* node = lilv_new_string(world.World(), symbol.c_str());
  const LilvPort* port = lilv_plugin_get_port_by_symbol(world.Plugin(), node);
  lilv_node_free(node);
  if (port == nullptr) return nullptr;
  return &portValues[lilv_port_get_index(world.Plugin(), port)];
}

bool Lv2TestInstance::SetControl(const std::string& symbol, float value) {
  float* buffer = ControlBuffer(symbol);
  if (buffer != nullptr) *buffer = value;
  return buffer != nullptr;
}

void Lv2TestInstance::SetControls(const std::map<std::string, float>& values) {
  for (const auto& [symbol, value] : values)
    SetControl(symbol, value);
}

void Lv2TestInstance::Run(const std::vector<std::vector<float>>& in,
                          std::vector<std::vector<float>>& out,
                          const std::vector<Lv2MidiEvent>& midi) {
  const auto frames = static_cast<uint32_t>(in[0].size());
  out.resize(2);
  for (uint32_t c = 0; c < 2; ++c) {
    out[c].resize(frames);
    std::fill(out[c].begin(), out[c].end(), 0.0f);
    lilv_instance_connect_port(instance, c, const_cast<float*>(in[c].data()));
    lilv_instance_connect_port(instance, 2 + c, out[c].data());
  }
  auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(midiIn.data());
  sequence->atom.type = world.Urid(LV2_ATOM__Sequence);
  sequence->body.unit = 0;
  sequence->body.pad = 0;
  lv2_atom_sequence_clear(sequence);
  for (const Lv2MidiEvent& event : midi) {
    struct {
      LV2_Atom_Event head;
      uint8_t bytes[8];
    } record{};
    record.head.time.frames = event.frame;
    record.head.body.type = world.Urid(LV2_MIDI__MidiEvent);
    record.head.body.size = 3;
    std::memcpy(record.bytes, event.bytes, 3);
    lv2_atom_sequence_append_event(sequence, kAtomBufferBytes - sizeof(LV2_Atom), &record.head);
  }
  auto* output = reinterpret_cast<LV2_Atom_Sequence*>(midiOut.data());
  output->atom.type = 0;
  output->atom.size = kAtomBufferBytes - sizeof(LV2_Atom);
  lilv_instance_connect_port(instance, 4, sequence);
  lilv_instance_connect_port(instance, 5, output);
  lilv_instance_run(instance, frames);
}

std::vector<Lv2MidiEvent> Lv2TestInstance::MidiOut() const {
  std::vector<Lv2MidiEvent> events;
  const auto* sequence = reinterpret_cast<const LV2_Atom_Sequence*>(midiOut.data());
  LV2_ATOM_SEQUENCE_FOREACH(sequence, event) {
    Lv2MidiEvent midi{event->time.frames, {}};
    std::memcpy(midi.bytes, event + 1, std::min<uint32_t>(event->body.size, 3));
    events.push_back(midi);
  }
  return events;
}

namespace {

LV2_State_Status Store(LV2_State_Handle handle, uint32_t key, const void* value, std::size_t size,
                       uint32_t type, uint32_t) {
  auto* saved = static_cast<Lv2TestInstance::SavedState*>(handle);
  saved->key = key;
  saved->type = type;
  const auto* bytes = static_cast<const uint8_t*>(value);
  saved->bytes.assign(bytes, bytes + size);
  return LV2_STATE_SUCCESS;
}

const void* Retrieve(LV2_State_Handle handle, uint32_t key, std::size_t* size, uint32_t* type,
                     uint32_t* flags) {
  const auto* saved = static_cast<const Lv2TestInstance::SavedState*>(handle);
  if (key != saved->key) return nullptr;
  *size = saved->bytes.size();
  *type = saved->type;
  *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
  return saved->bytes.data();
}

const LV2_State_Interface* StateInterface(LilvInstance* instance) {
  return static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(instance, LV2_STATE__interface));
}

} // namespace

Lv2TestInstance::SavedState Lv2TestInstance::Save() const {
  SavedState saved;
  saved.status = StateInterface(instance)->save(lilv_instance_get_handle(instance), &Store, &saved,
                                                LV2_STATE_IS_POD, nullptr);
  return saved;
}

LV2_State_Status Lv2TestInstance::Restore(const SavedState& state) const {
  return StateInterface(instance)->restore(lilv_instance_get_handle(instance), &Retrieve,
                                           const_cast<SavedState*>(&state), 0, nullptr);
}

const void* Lv2TestInstance::PortValue(const char* symbol, void* self, uint32_t* size,
                                       uint32_t* type) {
  auto* host = static_cast<Lv2TestInstance*>(self);
  *size = sizeof(float);
  *type = host->world.Urid(LV2_ATOM__Float);
  return host->ControlBuffer(symbol);
}

void Lv2TestInstance::SetPortValue(const char* symbol, void* self, const void* value, uint32_t size,
                                   uint32_t) {
  auto* host = static_cast<Lv2TestInstance*>(self);
  if (size == sizeof(float)) host->SetControl(symbol, *static_cast<const float*>(value));
}

LilvState* Lv2TestInstance::CaptureState() {
  return lilv_state_new_from_instance(world.Plugin(), instance, world.Map(), nullptr, nullptr,
                                      nullptr, nullptr, &PortValue, this, 0, nullptr);
}

void Lv2TestInstance::ApplyState(const LilvState* state) {
  lilv_state_restore(state, instance, &SetPortValue, this, 0, nullptr);
}
