#include "framework/vst2/VstEdge.h"

#include "framework/AudioCallScope.h"
#include "framework/vst2/IEffectVST.h"

namespace quorvane {

namespace {

// A host that hands us a null or foreign record gets 0, never a crash.
IEffectVST* PluginOf(AEffect* record) {
  if (record == nullptr || record->magic != kEffectMagic) return nullptr;
  return static_cast<IEffectVST*>(record->object);
}

intptr_t VSTCALLBACK DispatcherEdge(AEffect* record, int32_t opcode, int32_t index, intptr_t value,
                                    void* ptr, float opt) {
  IEffectVST* plugin = PluginOf(record);
  if (plugin == nullptr) return 0;
  try {
    // Hosts deliver events from their audio thread; every other opcode comes
    // from the user-interface thread and gives it its turn.
    if (opcode == effProcessEvents) {
      AudioCallScope scope;
      return plugin->Dispatch(opcode, index, value, ptr, opt);
    }
    RunUserInterfaceTurn();
    return plugin->Dispatch(opcode, index, value, ptr, opt);
  } catch (...) {
    return 0;
  }
}

// Hosts automate from their audio thread. (The process callbacks need no
// scope: the sound path makes no trace line, and a scope costs a locked
// add per block.)
void VSTCALLBACK SetParameterEdge(AEffect* record, int32_t index, float value) {
  IEffectVST* plugin = PluginOf(record);
  if (plugin == nullptr) return;
  try {
    AudioCallScope scope;
    plugin->SetParameterFromHost(index, static_cast<double>(value));
  } catch (...) {
  }
}

float VSTCALLBACK GetParameterEdge(AEffect* record, int32_t index) {
  IEffectVST* plugin = PluginOf(record);
  if (plugin == nullptr) return 0.0f;
  try {
    return static_cast<float>(plugin->ParameterForHost(index));
  } catch (...) {
    return 0.0f;
  }
}

void VSTCALLBACK ProcessEdge(AEffect* record, float** inputs, float** outputs, int32_t frames) {
  IEffectVST* plugin = PluginOf(record);
  if (plugin == nullptr) return;
  try {
    plugin->ProcessFloat(inputs, outputs, frames, true);
  } catch (...) {
  }
}

void VSTCALLBACK ProcessReplacingEdge(AEffect* record, float** inputs, float** outputs,
                                      int32_t frames) {
  IEffectVST* plugin = PluginOf(record);
  if (plugin == nullptr) return;
  try {
    plugin->ProcessFloat(inputs, outputs, frames, false);
  } catch (...) {
  }
}

void VSTCALLBACK ProcessDoubleEdge(AEffect* record, double** inputs, double** outputs,
                                   int32_t frames) {
  IEffectVST* plugin = PluginOf(record);
  if (plugin == nullptr) return;
  try {
    plugin->ProcessDouble(inputs, outputs, frames);
  } catch (...) {
  }
}

} // namespace

void InstallVstCallbacks(AEffect& record) {
  record.dispatcher = &DispatcherEdge;
  record.process = &ProcessEdge;
  record.setParameter = &SetParameterEdge;
  record.getParameter = &GetParameterEdge;
  record.processReplacing = &ProcessReplacingEdge;
  record.processDoubleReplacing = &ProcessDoubleEdge;
}

} // namespace quorvane
