#pragma once

// One LV2 instance of the effect: connects the host's port buffers, turns each run into the
// same float processing the VST2 build does, split at the frames of incoming MIDI events, and
// saves and restores the program state through the state interface.
//
// Threads: Create, Activate, Deactivate and the state calls come from the host's
// instantiation or main thread, ConnectPort and Run from its audio thread. Run and the state
// calls hold the plug-in lock; Run allocates nothing and makes no system call.

#include "framework/IEffectBase.h"

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace quorvane {

class Lv2Plugin {
public:
  // Null when the rate is one the effect refuses or the effect cannot be made. Without a URID
  // map the instance plays audio but takes no MIDI and no state.
  static std::unique_ptr<Lv2Plugin> Create(double sampleRate, const LV2_Feature* const* features);

  void ConnectPort(uint32_t port, void* data);
  void Activate();
  void Deactivate();
  void Run(uint32_t frames);

  LV2_State_Status Save(LV2_State_Store_Function store, LV2_State_Handle handle);
  // Takes the state only when it is one whole program state of our type; otherwise changes
  // nothing and answers why.
  LV2_State_Status Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

private:
  struct Urids {
    LV2_URID midiEvent = 0;
    LV2_URID atomSequence = 0;
    LV2_URID stateKey = 0;
    LV2_URID stateType = 0;
  };

  Lv2Plugin(std::unique_ptr<IEffectBase> effect, const Urids& urids);
  void ApplyChangedControls();
  void ProcessFrames(uint32_t first, uint32_t count);
  void BeginMidiOutput();
  void DeliverMidi(const LV2_Atom_Event& event, uint32_t frame);
  int32_t ProgramStateSize() const;

  std::unique_ptr<IEffectBase> effect;
  Urids urids;
  const float* audioIn[2] = {};
  float* audioOut[2] = {};
  const LV2_Atom_Sequence* midiIn = nullptr;
  LV2_Atom_Sequence* midiOut = nullptr;
  uint32_t midiOutCapacity = 0;
  std::vector<const float*> controls;
  // What each control port held when last applied; a port is applied again only when it changes.
  std::vector<float> appliedControls;
};

} // namespace quorvane
