// Renders audio through a plug-in block by block, the way a host's audio
// engine would: MIDI for a block is delivered with effProcessEvents just
// before the block, at the right offsets; audio streams from a source to a
// sink, so memory does not grow with the render. Runs on the caller's thread.
#pragma once

#include "AudioBuffer.h"
#include "AudioStream.h"
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
  // Silence rendered past the input's end: exactly tailSeconds, or with
  // tailUntilDecayed until the output stays below -96 dBFS, at most that.
  double tailSeconds = 0.0;
  bool tailUntilDecayed = false;
};

// One short MIDI message at a frame of the whole render.
struct TimedMidi {
  int64_t frame;
  unsigned char status, data1, data2;
};

// The note-on and note-off messages of `notes` at `sampleRate`, in time
// order. At one frame a note's on precedes its own off (a zero-length note
// still ends), and other offs precede ons (a repeated key retriggers).
std::vector<TimedMidi> ScheduleNotes(const std::vector<MidiNote>& notes, double sampleRate);

// Frames done, and frames in all when known (else -1).
using RenderProgress = std::function<void(int64_t framesDone, int64_t framesTotal)>;

struct RenderResult {
  int64_t frames = 0;      // written to the sink
  int64_t inputFrames = 0; // of those, from the source
  int outputChannels = 0;
  // Notes that start at or after the render's end: never sent.
  std::vector<MidiNote> notesAfterEnd;
};

// Resumes the plug-in at the source's rate and settings.blockSize, streams
// the source through it into the sink (as many channels as the source, at
// most the plug-in's outputs), and suspends it again.
bool Render(const VstPlugin& plugin, RenderHost& host, AudioSource& source, AudioSink& sink,
            const RenderSettings& settings, const RenderProgress& progress, RenderResult& result,
            std::string& error);

// The same for audio held in memory.
bool Render(const VstPlugin& plugin, RenderHost& host, const AudioBuffer& in, AudioBuffer& out,
            const RenderSettings& settings, const RenderProgress& progress, std::string& error);

} // namespace vsthost
