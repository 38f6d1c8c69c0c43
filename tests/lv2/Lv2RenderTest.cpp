// The LV2 build sounds exactly like the VST2 build: every factory program rendered by lv2apply
// against the command-line host, and MIDI notes at frame offsets against the VST2 module driven
// with its blocks cut at the same frames. The MIDI comes back out unchanged.

#include "tests/lv2/Lv2TestHost.h"

#include "framework/lv2/Lv2Module.h"

#include "PluginModule.h"
#include "RenderHost.h"
#include "TestSignal.h"
#include "VstPlugin.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace quorvane {
namespace {

constexpr int kRate = 48000;

bool SameBits(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

// 32-bit float WAV, as both hosts then write it.
bool WriteWav(const char* path, const vsthost::AudioBuffer& audio) {
  SF_INFO info{};
  info.samplerate = audio.sampleRate;
  info.channels = audio.ChannelCount();
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(path, SFM_WRITE, &info);
  if (file == nullptr) return false;
  std::vector<float> frames(audio.Frames() * 2);
  for (std::size_t i = 0; i < audio.Frames(); ++i)
    for (int c = 0; c < 2; ++c)
      frames[2 * i + c] = audio.channels[c][i];
  const auto count = static_cast<sf_count_t>(audio.Frames());
  const bool written = sf_writef_float(file, frames.data(), count) == count;
  return sf_close(file) == 0 && written;
}

// The channels of a stereo file; empty when it cannot be read.
std::vector<std::vector<float>> ReadStereo(const char* path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path, SFM_READ, &info);
  if (file == nullptr) return {};
  std::vector<float> frames(static_cast<std::size_t>(info.frames) * 2);
  const bool read =
      info.channels == 2 && sf_readf_float(file, frames.data(), info.frames) == info.frames;
  sf_close(file);
  if (!read) return {};
  std::vector<std::vector<float>> channels(2);
  for (std::size_t i = 0; i < frames.size(); ++i)
    channels[i % 2].push_back(frames[i]);
  return channels;
}

int32_t ProgramIndex(const std::string& name) {
  const std::unique_ptr<IEffectBase> effect = CreateLv2Effect();
  for (int32_t p = 0; p < effect->PresetCount(); ++p)
    if (name == effect->PresetName(p)) return p;
  return -1;
}

std::string Quote(const std::string& text) {
  return "'" + text + "'";
}

TEST(Lv2Render, EveryFactoryProgramThroughLv2applyMatchesTheVst2Build) {
  vsthost::AudioBuffer input;
  std::string error;
  ASSERT_TRUE(vsthost::MakeTestSignal("noise", kRate, kRate / 4, 2, input, error)) << error;
  input.sampleRate = kRate;
  ASSERT_TRUE(WriteWav("lv2-render-in.wav", input));

  Lv2TestWorld world;
  const auto presets = world.Presets();
  ASSERT_FALSE(presets.empty());
  for (const auto& [name, values] : presets) {
    SCOPED_TRACE(name);
    const int32_t program = ProgramIndex(name);
    ASSERT_GE(program, 0);
    std::string lv2apply = std::string(QUORVANE_LV2APPLY_ENVIRONMENT) +
                           " LV2_PATH=" + QUORVANE_LV2_PATH + " " + QUORVANE_LV2APPLY +
                           " -i lv2-render-in.wav -o lv2-render-lv2.wav";
    for (const auto& [symbol, value] : values)
      lv2apply += " -c " + symbol + " " + std::to_string(value);
    lv2apply += " " + std::string(Lv2Module().pluginUri);
    const std::string vsthost = std::string(QUORVANE_VSTHOST) + " " + Quote(QUORVANE_VST2_MODULE) +
                                " -q --program " + std::to_string(program) +
                                " --tail 0 -i lv2-render-in.wav -o lv2-render-vst2.wav";
    ASSERT_EQ(std::system(lv2apply.c_str()), 0) << lv2apply;
    ASSERT_EQ(std::system(vsthost.c_str()), 0) << vsthost;

    const auto lv2 = ReadStereo("lv2-render-lv2.wav");
    const auto vst2 = ReadStereo("lv2-render-vst2.wav");
    ASSERT_EQ(lv2.size(), 2u);
    ASSERT_EQ(vst2.size(), 2u);
    for (int c = 0; c < 2; ++c)
      EXPECT_TRUE(SameBits(lv2[c], vst2[c])) << "channel " << c;
    // A program that only passes the input through would prove nothing.
    EXPECT_FALSE(SameBits(lv2[0], input.channels[0]));
  }
}

// The VST2 module as a host drives it when it cuts its blocks at every event.
class Vst2Reference {
public:
  Vst2Reference(int32_t program, int32_t blockSize) {
    std::string error;
    EXPECT_TRUE(module.Load(QUORVANE_VST2_MODULE, error)) << error;
    EXPECT_TRUE(plugin.Create(module.EntryPoint(), host.Callback(), error)) << error;
    plugin.Dispatch(effOpen);
    plugin.Dispatch(effSetProgram, 0, program);
    plugin.Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
    plugin.Dispatch(effSetBlockSize, 0, blockSize);
    plugin.Dispatch(effMainsChanged, 0, 1);
  }

  void Run(const std::vector<std::vector<float>>& in, std::vector<std::vector<float>>& out,
           const std::vector<Lv2MidiEvent>& midi) {
    const auto frames = static_cast<int32_t>(in[0].size());
    out.assign(2, std::vector<float>(in[0].size(), 0.0f));
    int32_t done = 0;
    std::size_t next = 0;
    while (done < frames) {
      while (next < midi.size() && midi[next].frame <= done)
        Send(midi[next++]);
      const int32_t end = next < midi.size() ? static_cast<int32_t>(midi[next].frame) : frames;
      float* inputs[2] = {const_cast<float*>(in[0].data()) + done,
                          const_cast<float*>(in[1].data()) + done};
      float* outputs[2] = {out[0].data() + done, out[1].data() + done};
      plugin.Effect()->processReplacing(plugin.Effect(), inputs, outputs, end - done);
      done = end;
    }
  }

private:
  void Send(const Lv2MidiEvent& midi) {
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof event;
    for (int i = 0; i < 3; ++i)
      event.midiData[i] = static_cast<char>(midi.bytes[i]);
    VstEvents list{};
    list.numEvents = 1;
    list.events[0] = reinterpret_cast<VstEvent*>(&event);
    plugin.Dispatch(effProcessEvents, 0, 0, &list);
  }

  vsthost::PluginModule module;
  vsthost::RenderHost host;
  vsthost::VstPlugin plugin;
};

TEST(Lv2Render, NotesAtFrameOffsetsSoundAsInTheVst2BuildAndComeBackOut) {
  constexpr int32_t kBlock = 256;
  // Frames in the whole render: overlapping notes, and an on and off inside one block.
  const std::vector<Lv2MidiEvent> notes = {
      {1000, {0x90, 60, 100}}, {1500, {0x91, 64, 90}},  {9000, {0x80, 60, 0}},
      {20000, {0x90, 64, 0}},  {30000, {0x90, 67, 80}}, {30100, {0x80, 67, 0}},
  };
  Lv2TestWorld world;
  const auto presets = world.Presets();
  for (const char* name : {"Glissando Decrescendo", "Uplifting"}) {
    SCOPED_TRACE(name);
    Lv2TestInstance lv2(world, kRate);
    ASSERT_TRUE(lv2.Valid());
    lv2.SetControls(presets.at(name));
    Vst2Reference vst2(ProgramIndex(name), kBlock);

    vsthost::AudioBuffer signal;
    std::string error;
    ASSERT_TRUE(vsthost::MakeTestSignal("saw:220", kRate, 36000, 2, signal, error)) << error;
    bool changed = false;
    for (int32_t start = 0; start + kBlock <= 36000; start += kBlock) {
      std::vector<std::vector<float>> in(2), lv2Out, vst2Out;
      for (int c = 0; c < 2; ++c)
        in[c].assign(signal.channels[c].begin() + start,
                     signal.channels[c].begin() + start + kBlock);
      std::vector<Lv2MidiEvent> block;
      for (const Lv2MidiEvent& note : notes)
        if (note.frame >= start && note.frame < start + kBlock)
          block.push_back({note.frame - start, {note.bytes[0], note.bytes[1], note.bytes[2]}});
      lv2.Run(in, lv2Out, block);
      vst2.Run(in, vst2Out, block);
      ASSERT_TRUE(SameBits(lv2Out[0], vst2Out[0]) && SameBits(lv2Out[1], vst2Out[1]))
          << "block at frame " << start;
      changed = changed || !SameBits(lv2Out[0], in[0]);

      const std::vector<Lv2MidiEvent> echoed = lv2.MidiOut();
      ASSERT_EQ(echoed.size(), block.size());
      for (std::size_t i = 0; i < block.size(); ++i) {
        EXPECT_EQ(echoed[i].frame, block[i].frame);
        EXPECT_EQ(std::memcmp(echoed[i].bytes, block[i].bytes, 3), 0);
      }
    }
    EXPECT_TRUE(changed);
  }
}

} // namespace
} // namespace quorvane
