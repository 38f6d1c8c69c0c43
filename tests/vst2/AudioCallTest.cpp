// Which calls through the effect record count as audio calls (where nothing
// may block or call the system), and which give the user-interface thread
// its turn.

#include "framework/AudioCallScope.h"
#include "tests/support/RecordingHost.h"
#include "tests/vst2/TestEffect.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvane {
namespace {

class AudioCallRecorder : public TestEffect {
public:
  using TestEffect::TestEffect;
  void OnParamChange(int32_t index) override {
    inAudioCall.push_back(AudioCallInProgress());
    TestEffect::OnParamChange(index);
  }
  void ProcessBlock(double** inputs, double** outputs, int32_t frames) override {
    inAudioCall.push_back(AudioCallInProgress());
    TestEffect::ProcessBlock(inputs, outputs, frames);
  }
  bool HandleMidi(const MidiMessage& message) override {
    inAudioCall.push_back(AudioCallInProgress());
    return TestEffect::HandleMidi(message);
  }
  std::vector<bool> inAudioCall;
};

int turns = 0;
void CountTurn() {
  ++turns;
}

TEST(AudioCalls, ParameterAndEventCallsAreMarkedAndOtherCallsGiveTheInterfaceItsTurn) {
  RecordingHost host;
  auto* plugin = new AudioCallRecorder(host.Callback());
  plugin->FinishCreation();
  AEffect* effect = plugin->Record();
  effect->dispatcher(effect, effSetBlockSize, 0, 16, nullptr, 0.0f);
  SetUserInterfaceTurn(CountTurn);
  turns = 0;

  float in[2][16] = {}, out[2][16] = {};
  float* inputs[2] = {in[0], in[1]};
  float* outputs[2] = {out[0], out[1]};
  double din[2][16] = {}, dout[2][16] = {};
  double* dinputs[2] = {din[0], din[1]};
  double* doutputs[2] = {dout[0], dout[1]};
  effect->setParameter(effect, 1, 0.5f);
  effect->processReplacing(effect, inputs, outputs, 16);
  effect->process(effect, inputs, outputs, 16);
  effect->processDoubleReplacing(effect, dinputs, doutputs, 16);
  VstMidiEvent note{};
  note.type = kVstMidiType;
  note.byteSize = sizeof note;
  note.midiData[0] = static_cast<char>(0x90);
  VstEvents list{};
  list.numEvents = 1;
  list.events[0] = reinterpret_cast<VstEvent*>(&note);
  effect->dispatcher(effect, effProcessEvents, 0, 0, &list, 0.0f);
  // setParameter and the events; the sound path makes no trace line and needs no mark.
  EXPECT_EQ(plugin->inAudioCall, (std::vector<bool>{true, false, false, false, true}));
  EXPECT_EQ(turns, 0);
  EXPECT_FALSE(AudioCallInProgress());

  plugin->inAudioCall.clear();
  effect->dispatcher(effect, effSetProgram, 0, 1, nullptr, 0.0f);
  EXPECT_EQ(turns, 1);
  ASSERT_FALSE(plugin->inAudioCall.empty());
  EXPECT_FALSE(plugin->inAudioCall[0]);

  SetUserInterfaceTurn(nullptr);
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

} // namespace
} // namespace quorvane
