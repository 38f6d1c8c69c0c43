#include "Renderer.h"

#include <algorithm>
#include <cmath>

namespace vsthost {
namespace {

constexpr int kMaxEventsPerCall = 64;

// The interface's event list is variable-length; this one has room for a
// fixed number of entries and the same head.
struct EventList {
  int32_t numEvents;
  intptr_t reserved;
  VstEvent* events[kMaxEventsPerCall];
};

int64_t FrameAt(double seconds, double sampleRate) {
  return static_cast<int64_t>(std::llround(std::max(0.0, seconds) * sampleRate));
}

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

// Host-side block buffers in both precisions, one per plug-in channel.
struct BlockBuffers {
  std::vector<std::vector<float>> in, out;
  std::vector<std::vector<double>> inD, outD;
  std::vector<float*> inPtr, outPtr;
  std::vector<double*> inPtrD, outPtrD;

  BlockBuffers(int inputs, int outputs, int frames) {
    const size_t n = static_cast<size_t>(frames);
    in.assign(static_cast<size_t>(inputs), std::vector<float>(n));
    out.assign(static_cast<size_t>(outputs), std::vector<float>(n));
    inD.assign(in.size(), std::vector<double>(n));
    outD.assign(out.size(), std::vector<double>(n));
    for (auto& b : in)
      inPtr.push_back(b.data());
    for (auto& b : out)
      outPtr.push_back(b.data());
    for (auto& b : inD)
      inPtrD.push_back(b.data());
    for (auto& b : outD)
      outPtrD.push_back(b.data());
  }
};

void ProcessBlock(const VstPlugin& plugin, ProcessMode mode, BlockBuffers& b, int32_t frames) {
  AEffect* effect = plugin.Effect();
  switch (mode) {
  case ProcessMode::Replacing:
    effect->processReplacing(effect, b.inPtr.data(), b.outPtr.data(), frames);
    break;
  case ProcessMode::Accumulating:
    for (auto& channel : b.out)
      std::fill(channel.begin(), channel.end(), 0.0f);
    effect->process(effect, b.inPtr.data(), b.outPtr.data(), frames);
    break;
  case ProcessMode::Double:
    for (size_t c = 0; c < b.in.size(); ++c) {
      std::copy(b.in[c].begin(), b.in[c].begin() + frames, b.inD[c].begin());
    }
    effect->processDoubleReplacing(effect, b.inPtrD.data(), b.outPtrD.data(), frames);
    for (size_t c = 0; c < b.out.size(); ++c) {
      for (int32_t j = 0; j < frames; ++j) {
        b.out[c][static_cast<size_t>(j)] = static_cast<float>(b.outD[c][static_cast<size_t>(j)]);
      }
    }
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

} // namespace

std::vector<TimedMidi> ScheduleNotes(const std::vector<MidiNote>& notes, double sampleRate) {
  std::vector<TimedMidi> events;
  for (const MidiNote& note : notes) {
    const auto key = static_cast<unsigned char>(std::clamp(note.key, 0, 127));
    const auto velocity = static_cast<unsigned char>(std::clamp(note.velocity, 1, 127));
    events.push_back({FrameAt(note.startSeconds, sampleRate), 0x90, key, velocity});
    events.push_back({FrameAt(note.startSeconds + note.lengthSeconds, sampleRate), 0x80, key, 0});
  }
  std::stable_sort(events.begin(), events.end(), [](const TimedMidi& a, const TimedMidi& b) {
    if (a.frame != b.frame) return a.frame < b.frame;
    return a.status < b.status;
  });
  return events;
}

bool Render(const VstPlugin& plugin, RenderHost& host, const AudioBuffer& in, AudioBuffer& out,
            const RenderSettings& settings, const RenderProgress& progress, std::string& error) {
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
  const int fileChannels = in.ChannelCount();
  const int outChannels = std::min(fileChannels, effect->numOutputs);
  if (fileChannels == 0 || outChannels == 0) {
    error = "nothing to render (no input channels or no plug-in outputs)";
    return false;
  }
  const size_t total = in.Frames();
  const double rate = in.sampleRate;

  host.SetSampleRate(rate);
  host.SetBlockSize(blockSize);
  host.SetPosition(0.0);
  plugin.Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
  plugin.Dispatch(effSetBlockSize, 0, blockSize);
  if (fileChannels == 1 && effect->numInputs > 1) ArrangeMono(plugin);
  plugin.Dispatch(effMainsChanged, 0, 1);
  plugin.Dispatch(effStartProcess);

  BlockBuffers buffers(std::max(effect->numInputs, 1), std::max(effect->numOutputs, 1), blockSize);
  const std::vector<TimedMidi> midi = ScheduleNotes(settings.notes, rate);
  size_t nextEvent = 0;
  out.sampleRate = in.sampleRate;
  out.Resize(outChannels, total);

  for (size_t pos = 0; pos < total; pos += static_cast<size_t>(blockSize)) {
    const auto frames = static_cast<int32_t>(std::min<size_t>(blockSize, total - pos));
    const auto blockEnd = static_cast<int64_t>(pos) + frames;
    while (nextEvent < midi.size() && midi[nextEvent].frame < blockEnd) {
      const size_t run = std::min<size_t>(kMaxEventsPerCall, midi.size() - nextEvent);
      size_t count = 0;
      while (count < run && midi[nextEvent + count].frame < blockEnd)
        ++count;
      SendEvents(plugin, &midi[nextEvent], static_cast<int>(count), static_cast<int64_t>(pos));
      nextEvent += count;
    }
    for (size_t c = 0; c < buffers.in.size(); ++c) {
      auto& dest = buffers.in[c];
      if (c < static_cast<size_t>(fileChannels)) {
        std::copy_n(in.channels[c].begin() + static_cast<std::ptrdiff_t>(pos), frames,
                    dest.begin());
      } else {
        std::fill(dest.begin(), dest.end(), 0.0f);
      }
    }
    host.SetPosition(static_cast<double>(pos));
    ProcessBlock(plugin, settings.mode, buffers, frames);
    for (size_t c = 0; c < static_cast<size_t>(outChannels); ++c) {
      std::copy_n(buffers.out[c].begin(), frames,
                  out.channels[c].begin() + static_cast<std::ptrdiff_t>(pos));
    }
    if (progress) progress(pos + static_cast<size_t>(frames), total);
  }

  plugin.Dispatch(effStopProcess);
  plugin.Dispatch(effMainsChanged, 0, 0);
  return true;
}

} // namespace vsthost
