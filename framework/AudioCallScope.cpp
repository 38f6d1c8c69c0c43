#include "framework/AudioCallScope.h"

#include <atomic>

namespace quorvane {
namespace {

std::atomic<int> audioCalls{0};
std::atomic<UserInterfaceTurn> turnHandler{nullptr};

} // namespace

AudioCallScope::AudioCallScope() noexcept {
  audioCalls.fetch_add(1);
}

AudioCallScope::~AudioCallScope() {
  audioCalls.fetch_sub(1);
}

bool AudioCallInProgress() noexcept {
  return audioCalls.load() > 0;
}

void SetUserInterfaceTurn(UserInterfaceTurn handler) noexcept {
  turnHandler.store(handler);
}

void RunUserInterfaceTurn() {
  // A host may call the dispatcher from its audio thread too (events, say):
  // then the work waits for a later turn.
  if (AudioCallInProgress()) return;
  const UserInterfaceTurn handler = turnHandler.load();
  if (handler != nullptr) handler();
}

} // namespace quorvane
