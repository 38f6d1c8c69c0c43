// Renders audio through a plug-in block by block, the way a host's audio
// engine would: MIDI for a block is delivered with effProcessEvents just
// before the block, at the right offsets. Runs on the caller's thread.
#pragma once

#include "AudioBuffer.h"
#include "RenderHost.h"
#include "VstPlugin.h"

#include <functional>
#include <string>
#include <vector>

namespace vsthost {

struct MidiNote {
  double startSeconds = 0.0;
  double lengthSeconds = 1.0;
  int key = 60;
  int velocity = 100;
};

enum class ProcessMode { Replacing, Accumulating, Double };

struct RenderSettings {
  int blockSize = 512;
  ProcessMode mode = ProcessMode::Replacing;
  std::vector<MidiNote> notes;
};

// One short MIDI message at a frame of the whole render.
struct TimedMidi {
  int64_t frame;
  unsigned char status, data1, data2;
};

// The note-on and note-off messages of `notes` at `sampleRate`, in time
// order (at one frame, offs before ons so that repeated notes retrigger).
std::vector<TimedMidi> ScheduleNotes(const std::vector<MidiNote>& notes, double sampleRate);

using RenderProgress = std::function<void(size_t framesDone, size_t framesTotal)>;

// Resumes the plug-in at in.sampleRate and settings.blockSize, renders `in`
// into `out` (as many channels as `in`, at most the plug-in's outputs), and
// suspends it again.
bool Render(const VstPlugin& plugin, RenderHost& host, const AudioBuffer& in, AudioBuffer& out,
            const RenderSettings& settings, const RenderProgress& progress, std::string& error);

} // namespace vsthost
