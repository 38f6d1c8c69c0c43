#include "Renderer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vsthost {
namespace {

constexpr int kMaxEventsPerCall = 64;
// -96 dBFS: below the last bit of 16-bit audio.
constexpr float kDecayedLevel = 1.5849e-5f;
// An automatic tail ends after this much output below that level.
constexpr double kQuietRunSeconds = 0.1;
constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

// Times far past any render (1e15 s) stay past it instead of overflowing.
int64_t FrameAt(double seconds, double sampleRate) {
  const double frame = std::max(0.0, seconds) * sampleRate;
  return frame < 9.0e18 ? static_cast<int64_t>(std::llround(frame)) : kNever;
}

// The interface's event list is variable-length; this one has room for a
// fixed number of entries and the same head.
struct EventList {
  int32_t numEvents;
  intptr_t reserved;
  VstEvent* events[kMaxEventsPerCall];
};

void SendEvents(const VstPlugin& plugin, const TimedMidi* first, int count, int64_t blockStart) {
  VstMidiEvent midi[kMaxEventsPerCall] = {};
  EventList list{};
  list.numEvents = count;
  for (int i = 0; i < count; ++i) {
    midi[i].type = kVstMidiType;
    midi[i].byteSize = sizeof(VstMidiEvent);
    midi[i].deltaFrames = static_cast<int32_t>(first[i].frame - blockStart);
    midi[i].midiData[0] = static_cast<char>(first[i].status);
    midi[i].midiData[1] = static_cast<char>(first[i].data1);
    midi[i].midiData[2] = static_cast<char>(first[i].data2);
    list.events[i] = reinterpret_cast<VstEvent*>(&midi[i]);
  }
  plugin.Dispatch(effProcessEvents, 0, 0, &list);
}

template <typename Sample> struct Channels {
  std::vector<std::vector<Sample>> data;
  std::vector<Sample*> pointers;

  Channels(int count, int frames)
      : data(static_cast<size_t>(count), std::vector<Sample>(static_cast<size_t>(frames))) {
    for (auto& channel : data)
      pointers.push_back(channel.data());
  }
};

// Host-side block buffers, one per plug-in channel, in both precisions.
struct BlockBuffers {
  Channels<float> in, out;
  Channels<double> inD, outD;

  BlockBuffers(int inputs, int outputs, int frames)
      : in(inputs, frames), out(outputs, frames), inD(inputs, frames), outD(outputs, frames) {}
};

void ProcessBlock(const VstPlugin& plugin, ProcessMode mode, BlockBuffers& b, int32_t frames) {
  AEffect* effect = plugin.Effect();
  switch (mode) {
  case ProcessMode::Replacing:
    effect->processReplacing(effect, b.in.pointers.data(), b.out.pointers.data(), frames);
    break;
  case ProcessMode::Accumulating:
    for (auto& channel : b.out.data)
      std::fill(channel.begin(), channel.end(), 0.0f);
    effect->process(effect, b.in.pointers.data(), b.out.pointers.data(), frames);
    break;
  case ProcessMode::Double:
    for (size_t c = 0; c < b.in.data.size(); ++c)
      std::copy_n(b.in.data[c].begin(), frames, b.inD.data[c].begin());
    effect->processDoubleReplacing(effect, b.inD.pointers.data(), b.outD.pointers.data(), frames);
    for (size_t c = 0; c < b.out.data.size(); ++c)
      std::transform(b.outD.data[c].begin(), b.outD.data[c].begin() + frames, b.out.data[c].begin(),
                     [](double s) { return static_cast<float>(s); });
    break;
  }
}

// A mono file through a stereo plug-in: tell it so, as a host would.
void ArrangeMono(const VstPlugin& plugin) {
  VstSpeakerArrangement input{}, output{};
  input.type = output.type = kSpeakerArrMono;
  input.numChannels = output.numChannels = 1;
  plugin.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&input), &output);
}

float BlockPeak(const Channels<float>& out, size_t channels, size_t frames) {
  float peak = 0.0f;
  for (size_t c = 0; c < channels; ++c)
    for (size_t i = 0; i < frames; ++i)
      peak = std::max(peak, std::fabs(out.data[c][i]));
  return peak;
}

} // namespace

std::vector<TimedMidi> ScheduleNotes(const std::vector<MidiNote>& notes, double sampleRate) {
  struct Ordered {
    TimedMidi midi;
    int rank; // within a frame: other notes' offs, then ons, then zero-length offs
  };
  std::vector<Ordered> events;
  for (const MidiNote& note : notes) {
    const auto key = static_cast<unsigned char>(std::clamp(note.key, 0, 127));
    const auto velocity = static_cast<unsigned char>(std::clamp(note.velocity, 1, 127));
    const int64_t on = FrameAt(note.startSeconds, sampleRate);
    const int64_t off = FrameAt(note.startSeconds + note.lengthSeconds, sampleRate);
    events.push_back({{on, 0x90, key, velocity}, 1});
    events.push_back({{off, 0x80, key, 0}, off == on ? 2 : 0});
  }
  std::stable_sort(events.begin(), events.end(), [](const Ordered& a, const Ordered& b) {
    if (a.midi.frame != b.midi.frame) return a.midi.frame < b.midi.frame;
    return a.rank < b.rank;
  });
  std::vector<TimedMidi> ordered;
  for (const Ordered& e : events)
    ordered.push_back(e.midi);
  return ordered;
}

bool Render(const VstPlugin& plugin, RenderHost& host, AudioSource& source, AudioSink& sink,
            const RenderSettings& settings, const RenderProgress& progress, RenderResult& result,
            std::string& error) {
  AEffect* effect = plugin.Effect();
  const int blockSize = settings.blockSize;
  if (blockSize <= 0) {
    error = "the block size must be positive";
    return false;
  }
  if (settings.mode == ProcessMode::Double && (effect->flags & effFlagsCanDoubleReplacing) == 0) {
    error = "the plug-in does not process double precision";
    return false;
  }
  const int fileChannels = source.Channels();
  const int outChannels = std::min(fileChannels, effect->numOutputs);
  if (fileChannels <= 0 || outChannels <= 0) {
    error = "nothing to render (no input channels or no plug-in outputs)";
    return false;
  }
  const double rate = source.SampleRate();
  const int64_t tailLimit = FrameAt(settings.tailSeconds, rate);
  const int64_t length = source.Length();
  const int64_t total = length < 0 ? -1 : length + (settings.tailUntilDecayed ? 0 : tailLimit);

  host.SetSampleRate(rate);
  host.SetBlockSize(blockSize);
  host.SetPosition(0.0);
  plugin.Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
  plugin.Dispatch(effSetBlockSize, 0, blockSize);
  if (fileChannels == 1 && effect->numInputs > 1) ArrangeMono(plugin);
  plugin.Dispatch(effMainsChanged, 0, 1);
  plugin.Dispatch(effStartProcess);

  BlockBuffers buffers(std::max(effect->numInputs, 1), std::max(effect->numOutputs, 1), blockSize);
  Channels<float> fileBlock(fileChannels, blockSize);
  const std::vector<TimedMidi> midi = ScheduleNotes(settings.notes, rate);
  size_t nextEvent = 0;
  RenderResult done;
  done.outputChannels = outChannels;
  bool inputEnded = false;
  int64_t tailDone = 0, quietRun = 0;
  const auto quietNeeded = static_cast<int64_t>(kQuietRunSeconds * rate);
  bool ok = true;

  for (int64_t pos = 0;;) {
    size_t frames = 0;
    if (!inputEnded) {
      frames = source.Read(fileBlock.pointers.data(), static_cast<size_t>(blockSize));
      if (frames == 0 && !source.Error().empty()) {
        error = source.Error();
        ok = false;
        break;
      }
      inputEnded = frames < static_cast<size_t>(blockSize);
      done.inputFrames += static_cast<int64_t>(frames);
    }
    if (inputEnded) {
      const auto extra = static_cast<size_t>(
          std::min<int64_t>(blockSize - static_cast<int64_t>(frames), tailLimit - tailDone));
      for (auto& channel : fileBlock.data)
        std::fill_n(channel.begin() + static_cast<std::ptrdiff_t>(frames), extra, 0.0f);
      tailDone += static_cast<int64_t>(extra);
      frames += extra;
    }
    if (frames == 0) break;
    const int64_t blockEnd = pos + static_cast<int64_t>(frames);
    while (nextEvent < midi.size() && midi[nextEvent].frame < blockEnd) {
      const size_t run = std::min<size_t>(kMaxEventsPerCall, midi.size() - nextEvent);
      size_t count = 0;
      while (count < run && midi[nextEvent + count].frame < blockEnd)
        ++count;
      SendEvents(plugin, &midi[nextEvent], static_cast<int>(count), pos);
      nextEvent += count;
    }
    for (size_t c = 0; c < buffers.in.data.size(); ++c) {
      auto& dest = buffers.in.data[c];
      if (c < static_cast<size_t>(fileChannels))
        std::copy_n(fileBlock.data[c].begin(), frames, dest.begin());
      else
        std::fill(dest.begin(), dest.end(), 0.0f);
    }
    host.SetPosition(static_cast<double>(pos));
    ProcessBlock(plugin, settings.mode, buffers, static_cast<int32_t>(frames));
    if (!sink.Write(buffers.out.pointers.data(), outChannels, frames, error)) {
      ok = false;
      break;
    }
    pos = blockEnd;
    done.frames = pos;
    if (progress) progress(pos, total);

    const bool eventsDue = nextEvent < midi.size() && midi[nextEvent].frame < pos + tailLimit;
    if (settings.tailUntilDecayed && inputEnded && !eventsDue &&
        pos - static_cast<int64_t>(frames) >= done.inputFrames) {
      const bool quiet =
          BlockPeak(buffers.out, static_cast<size_t>(outChannels), frames) < kDecayedLevel;
      quietRun = quiet ? quietRun + static_cast<int64_t>(frames) : 0;
      if (quietRun >= quietNeeded) break;
    }
    if (inputEnded && tailDone >= tailLimit) break;
  }

  plugin.Dispatch(effStopProcess);
  plugin.Dispatch(effMainsChanged, 0, 0);
  for (const MidiNote& note : settings.notes) {
    if (FrameAt(note.startSeconds, rate) >= done.frames) done.notesAfterEnd.push_back(note);
  }
  result = std::move(done);
  return ok;
}

bool Render(const VstPlugin& plugin, RenderHost& host, const AudioBuffer& in, AudioBuffer& out,
            const RenderSettings& settings, const RenderProgress& progress, std::string& error) {
  BufferSource source(in);
  AudioBuffer rendered;
  rendered.sampleRate = in.sampleRate;
  BufferSink sink(rendered);
  RenderResult result;
  if (!Render(plugin, host, source, sink, settings, progress, result, error)) return false;
  out = std::move(rendered);
  return true;
}

} // namespace vsthost
