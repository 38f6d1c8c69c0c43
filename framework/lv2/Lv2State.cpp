// The state interface: the program state is the VST2 build's program chunk, byte for byte, kept
// under one key with a type of its own, so that sessions move between the two builds.

#include "framework/lv2/Lv2Plugin.h"

#include <cstring>

namespace quorvane {

LV2_State_Status Lv2Plugin::Save(LV2_State_Store_Function store, LV2_State_Handle handle) {
  if (store == nullptr || urids.stateKey == 0) return LV2_STATE_ERR_UNKNOWN;
  PluginLockGuard guard(effect->GetPluginLock());
  const void* data = nullptr;
  const int32_t size = effect->GetChunk(false, &data);
  if (size != ProgramStateSize() || data == nullptr) return LV2_STATE_ERR_UNKNOWN;
  // Fixed-size little-endian numbers: plain data that is safe to move between machines.
  return store(handle, urids.stateKey, data, static_cast<std::size_t>(size), urids.stateType,
               LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status Lv2Plugin::Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
  if (retrieve == nullptr || urids.stateKey == 0) return LV2_STATE_ERR_UNKNOWN;
  std::size_t size = 0;
  uint32_t type = 0;
  uint32_t flags = 0;
  const void* data = retrieve(handle, urids.stateKey, &size, &type, &flags);
  if (data == nullptr) return LV2_STATE_ERR_NO_PROPERTY;
  if (type != urids.stateType || size != static_cast<std::size_t>(ProgramStateSize()))
    return LV2_STATE_ERR_BAD_TYPE;
  // The VST2 build reads a chunk without its header as bare values; a state of ours always has
  // one, so a different one means damage.
  StateBuffer header;
  if (!IEffectBase::StartChunk(header)) return LV2_STATE_ERR_UNKNOWN;
  if (std::memcmp(data, header.Data(), static_cast<std::size_t>(header.Size())) != 0)
    return LV2_STATE_ERR_BAD_TYPE;
  PluginLockGuard guard(effect->GetPluginLock());
  return effect->SetChunk(false, data, static_cast<int64_t>(size)) == 1 ? LV2_STATE_SUCCESS
                                                                        : LV2_STATE_ERR_UNKNOWN;
}

} // namespace quorvane
