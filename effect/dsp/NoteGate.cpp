#include "effect/dsp/NoteGate.h"

#include <algorithm>
#include <climits>

namespace quorvane {

void NoteGate::Apply(ProcessingState& s, bool on) noexcept {
  if (on) {
    if (s.envTarget != EnvTarget::None) s.envStage = EnvStage::Attack;
    if (s.heldNotes < INT32_MAX) ++s.heldNotes;
    return;
  }
  --s.heldNotes;
  if (s.heldNotes <= 0) {
    if (s.envStage != EnvStage::Idle) s.envStage = EnvStage::Release;
    s.heldNotes = 0;
  }
}

void NoteGate::Add(ProcessingState& s, bool on, int32_t offset) noexcept {
  if (offset <= 0) {
    Apply(s, on);
    return;
  }
  if (count == kCapacity) {
    overflowed = true;
    Overflow& o = overflow;
    if (on) {
      o.shift += 1;
      o.floor += 1;
      o.anyOn = true;
      o.shiftToLastOn = o.shift;
      o.floorToLastOn = o.floor;
      o.trailingOffs = 0;
    } else {
      o.shift -= 1;
      o.floor = o.floor > 1 ? o.floor - 1 : 0;
      o.trailingOffs += 1;
    }
    return;
  }
  // Hosts send events in frame order; a stray one still finds its place,
  // after those at the same frame.
  int i = count;
  while (i > first && waiting[i - 1].frame > offset) {
    waiting[i] = waiting[i - 1];
    --i;
  }
  waiting[i] = Note{offset, on};
  ++count;
}

int32_t NoteGate::NextFrame() const noexcept {
  return first < count ? waiting[first].frame : INT32_MAX;
}

void NoteGate::ApplyDue(ProcessingState& s, int32_t frame) noexcept {
  while (first < count && waiting[first].frame <= frame)
    Apply(s, waiting[first++].on);
}

void NoteGate::ApplyRest(ProcessingState& s) noexcept {
  while (first < count)
    Apply(s, waiting[first++].on);
  first = count = 0;
  if (overflowed) ApplyOverflow(s);
}

void NoteGate::ApplyOverflow(ProcessingState& s) noexcept {
  const Overflow& o = overflow;
  const int64_t held = s.heldNotes;
  const auto clamped = [](int64_t h) {
    return static_cast<int32_t>(h > INT32_MAX ? INT32_MAX : h);
  };
  if (o.anyOn && s.envTarget != EnvTarget::None) {
    // The last note-on starts the attack; the note-offs after it close the
    // gate if they release every note held then.
    const int64_t heldAtLastOn = std::max(held + o.shiftToLastOn, o.floorToLastOn);
    s.envStage = o.trailingOffs >= heldAtLastOn ? EnvStage::Release : EnvStage::Attack;
  } else if (!o.anyOn && o.trailingOffs >= std::max<int64_t>(held, 1)) {
    if (s.envStage != EnvStage::Idle) s.envStage = EnvStage::Release;
  }
  s.heldNotes = clamped(std::max(held + o.shift, o.floor));
  overflowed = false;
  overflow = Overflow{};
}

void NoteGate::Clear() noexcept {
  first = count = 0;
  overflowed = false;
  overflow = Overflow{};
}

} // namespace quorvane
