#pragma once

// A small LV2 host for the tests: a lilv world that knows only the bundle of this build, a URID
// map, and instances run with stereo buffers, a MIDI sequence in and out and one control value
// per parameter. Single-threaded.

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class Lv2TestWorld {
public:
  Lv2TestWorld();
  ~Lv2TestWorld();
  Lv2TestWorld(const Lv2TestWorld&) = delete;
  Lv2TestWorld& operator=(const Lv2TestWorld&) = delete;

  LilvWorld* World() const { return world; }
  const LilvPlugin* Plugin() const { return plugin; }
  LV2_URID_Map* Map() { return &map; }
  LV2_URID Urid(const char* uri) { return Map(map.handle, uri); }
  const LV2_Feature* const* Features() const { return features; }
  // What lilv wrote to standard error while loading the bundle.
  const std::string& LoadMessages() const { return loadMessages; }
  // Every preset: label and control values by symbol.
  std::map<std::string, std::map<std::string, float>> Presets();

private:
  static LV2_URID Map(LV2_URID_Map_Handle handle, const char* uri);

  LilvWorld* world = nullptr;
  const LilvPlugin* plugin = nullptr;
  std::vector<std::string> uris;
  LV2_URID_Map map{};
  LV2_Feature mapFeature{};
  const LV2_Feature* features[2] = {};
  std::string loadMessages;
};

struct Lv2MidiEvent {
  int64_t frame;
  uint8_t bytes[3];
};

class Lv2TestInstance {
public:
  Lv2TestInstance(Lv2TestWorld& world, double sampleRate);
  ~Lv2TestInstance();
  Lv2TestInstance(const Lv2TestInstance&) = delete;
  Lv2TestInstance& operator=(const Lv2TestInstance&) = delete;

  bool Valid() const { return instance != nullptr; }
  LilvInstance* Instance() const { return instance; }
  // The value a control port reads, by symbol; null if there is none.
  float* ControlBuffer(const std::string& symbol);
  // Sets a control port by symbol; false if there is none.
  bool SetControl(const std::string& symbol, float value);
  void SetControls(const std::map<std::string, float>& values);
  // One run over in (two channels of equal length), MIDI at frames within the run. Allocates
  // nothing once out holds two channels of that length.
  void Run(const std::vector<std::vector<float>>& in, std::vector<std::vector<float>>& out,
           const std::vector<Lv2MidiEvent>& midi = {});
  // The MIDI events of the last run's output.
  std::vector<Lv2MidiEvent> MidiOut() const;

  // The plug-in's own state, through its state interface: the stored bytes and their type.
  struct SavedState {
    LV2_State_Status status = LV2_STATE_ERR_UNKNOWN;
    LV2_URID key = 0, type = 0;
    std::vector<uint8_t> bytes;
  };
  SavedState Save() const;
  LV2_State_Status Restore(const SavedState& state) const;

  // Through lilv, as a host saves and restores a session (port values and plug-in state).
  LilvState* CaptureState();
  void ApplyState(const LilvState* state);

private:
  static const void* PortValue(const char* symbol, void* self, uint32_t* size, uint32_t* type);
  static void SetPortValue(const char* symbol, void* self, const void* value, uint32_t size,
                           uint32_t type);

  Lv2TestWorld& world;
  LilvInstance* instance = nullptr;
  std::vector<float> portValues;         // one per port; audio and atom entries unused
  std::vector<uint64_t> midiIn, midiOut; // 8-byte aligned atom buffers
};
