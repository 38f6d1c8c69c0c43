#pragma once
// Marks the calls a host makes on its audio thread, so that work which may
// block or call the system (the developer trace) waits for the user-interface
// thread instead. The host binding opens a scope around the audio entry
// points that can reach such work (setParameter, event delivery; the sound
// path itself does none) and runs the user-interface turn at each of its
// other calls; the editor window's timer runs it too. Any thread may ask;
// nothing here blocks or allocates.

namespace quorvane {

class AudioCallScope {
public:
  AudioCallScope() noexcept;
  ~AudioCallScope();
  AudioCallScope(const AudioCallScope&) = delete;
  AudioCallScope& operator=(const AudioCallScope&) = delete;
};

// True while any audio call is in progress, on any thread. A user-interface
// call made meanwhile may be told true: putting its work off is harmless.
bool AudioCallInProgress() noexcept;

// The work put off until the user-interface thread's next turn; one handler
// for the module (null: none).
using UserInterfaceTurn = void (*)();
void SetUserInterfaceTurn(UserInterfaceTurn handler) noexcept;
// User-interface thread: runs the handler, unless an audio call is in progress.
void RunUserInterfaceTurn();

} // namespace quorvane
