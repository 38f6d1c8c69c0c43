#include "TemporaryFiles.h"

#include <atomic>
#include <cstddef>

#if defined(_WIN32)
#include "win32/WideText.h"
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace vsthost {
namespace {

#if defined(_WIN32)
using NativeName = std::wstring;
void RemoveNative(const wchar_t* path) {
  DeleteFileW(path);
}
NativeName ToNative(const std::string& path) {
  return Wide(path);
}
#else
using NativeName = std::string;
void RemoveNative(const char* path) {
  unlink(path);
}
NativeName ToNative(const std::string& path) {
  return path;
}
#endif
using NativeChar = NativeName::value_type;

// Audio output, state file and picture: a few at a time at most.
constexpr int kSlots = 8;
constexpr size_t kMaxName = 4096;

enum SlotState : int { kFree, kFilling, kReady };

struct Slot {
  std::atomic<int> state{kFree};
  NativeChar name[kMaxName];
};

Slot slots[kSlots];

} // namespace

int RegisterTemporary(const std::string& path) {
  const NativeName name = ToNative(path);
  if (name.empty() || name.size() >= kMaxName) return -1;
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (!slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
    name.copy(slots[i].name, name.size());
    slots[i].name[name.size()] = 0;
    // Only a complete name is ever seen by the handler.
    slots[i].state.store(kReady);
    return i;
  }
  return -1;
}

void ReleaseTemporary(int slot) {
  if (slot >= 0 && slot < kSlots) slots[slot].state.store(kFree);
}

void RemoveRegisteredTemporaries() {
  for (Slot& slot : slots) {
    if (slot.state.load() == kReady) RemoveNative(slot.name);
  }
}

} // namespace vsthost
