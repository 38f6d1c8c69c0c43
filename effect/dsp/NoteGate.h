#pragma once
// The envelope's gate: note-ons open it (the attack starts from the level
// where it is), the release of the last held note closes it. A note takes
// effect at its own frame of the block it arrives for: HandleMidi adds it
// before the block, and the block applies it when it reaches that frame.
// Under the plug-in lock; allocation-free.
//
// Notes at frame 0 (or before) take effect at once. Up to kCapacity later
// notes wait in frame order; notes past that are not dropped: they take
// effect, in their order, at the block's end.

#include "effect/ProcessingState.h"

#include <cstdint>

namespace quorvane {

class NoteGate {
public:
  static constexpr int kCapacity = 1024;

  // A note-on (on) or note-off at frame offset of the coming block.
  void Add(ProcessingState& s, bool on, int32_t offset) noexcept;
  // True when no note waits for a later frame or the block's end.
  bool Empty() const noexcept { return count == 0 && !overflowed; }
  // The frame of the next waiting note; INT32_MAX when none waits.
  int32_t NextFrame() const noexcept;
  // Applies the waiting notes due at frame or before.
  void ApplyDue(ProcessingState& s, int32_t frame) noexcept;
  // Applies every note still waiting: the block has ended.
  void ApplyRest(ProcessingState& s) noexcept;
  // Forgets the waiting notes.
  void Clear() noexcept;

  // One note's effect on the held count and the envelope's stage.
  static void Apply(ProcessingState& s, bool on) noexcept;

private:
  struct Note {
    int32_t frame;
    bool on;
  };
  // The notes past capacity, folded: applied together, in order, they map
  // held notes h to max(h + shift, floor), and, from the last note-on on,
  // leave trailingOffs note-offs (see ApplyOverflow).
  struct Overflow {
    int64_t shift = 0, floor = 0;
    bool anyOn = false;
    int64_t shiftToLastOn = 0, floorToLastOn = 0;
    int64_t trailingOffs = 0;
  };
  void ApplyOverflow(ProcessingState& s) noexcept;

  Note waiting[kCapacity];
  int first = 0; // waiting[first .. count - 1] wait, in frame order; 0 between blocks
  int count = 0;
  bool overflowed = false;
  Overflow overflow;
};

} // namespace quorvane
