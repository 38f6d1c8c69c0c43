#include "tests/vst2/BindingFixture.h"

#include <cmath>
#include <limits>
#include <vector>

namespace quorvane {

using VstHostCall = BindingTest;

TEST_F(VstHostCall, EditorChangesAutomateTheHost) {
  plugin->ApplyEditorChange(1, 0.5);
  ASSERT_EQ(host.Count(audioMasterAutomate), 1);
  const HostCall& call = host.calls.back();
  EXPECT_EQ(call.effect, effect);
  EXPECT_EQ(call.index, 1);
  EXPECT_EQ(call.opt, 0.5f);
}

TEST_F(VstHostCall, GesturesAndDisplayRefresh) {
  plugin->BeginHostGesture(2);
  plugin->EndHostGesture(2);
  plugin->RefreshHostDisplay();
  ASSERT_EQ(host.calls.size(), 3u);
  EXPECT_EQ(host.calls[0].opcode, audioMasterBeginEdit);
  EXPECT_EQ(host.calls[0].index, 2);
  EXPECT_EQ(host.calls[1].opcode, audioMasterEndEdit);
  EXPECT_EQ(host.calls[1].index, 2);
  EXPECT_EQ(host.calls[2].opcode, audioMasterUpdateDisplay);
}

TEST_F(VstHostCall, AWheelGestureEndsBeforeTheNextBegins) {
  plugin->BeginHostGestureOnce(1);
  plugin->EndHostGestureLater(1); // without an editor: ends at once
  plugin->BeginHostGestureOnce(1);
  plugin->BeginHostGesture(3);
  std::vector<int32_t> opcodes;
  for (const HostCall& call : host.calls)
    opcodes.push_back(call.opcode);
  EXPECT_EQ(opcodes, (std::vector<int32_t>{audioMasterBeginEdit, audioMasterEndEdit,
                                           audioMasterBeginEdit, audioMasterBeginEdit}));
}

TEST_F(VstHostCall, TimeInformation) {
  host.time.samplePos = 1000.4;
  EXPECT_EQ(plugin->HostSamplePosition(), 1000);
  host.time.samplePos = 1000.5;
  EXPECT_EQ(plugin->HostSamplePosition(), 1001);
  host.time.samplePos = -3.0;
  EXPECT_EQ(plugin->HostSamplePosition(), 0);
  host.time.samplePos = 1e12; // a very long session saturates
  EXPECT_EQ(plugin->HostSamplePosition(), std::numeric_limits<int32_t>::max());
  host.time.samplePos = std::nan("");
  EXPECT_EQ(plugin->HostSamplePosition(), 0);

  EXPECT_EQ(plugin->HostTempo(), 120.0);
  EXPECT_EQ(host.calls.back().value, kVstTempoValid);
  int32_t num = -1, den = -1;
  plugin->HostTimeSignature(&num, &den);
  EXPECT_EQ(num, 3);
  EXPECT_EQ(den, 4);
  EXPECT_EQ(host.calls.back().value, kVstTimeSigValid);

  host.time.flags = 0;
  EXPECT_EQ(plugin->HostTempo(), 0.0);
  plugin->HostTimeSignature(&num, &den);
  EXPECT_EQ(num, 0);
  EXPECT_EQ(den, 0);

  host.provideTime = false;
  EXPECT_EQ(plugin->HostSamplePosition(), 0);
  EXPECT_EQ(plugin->HostTempo(), 0.0);
}

TEST_F(VstHostCall, MidiSentBackIsOneEventPerList) {
  MidiMessage message;
  message.offset = 17;
  message.status = 0x80;
  message.data1 = 64;
  message.data2 = 0x7F;
  EXPECT_TRUE(plugin->SendMidiToHost(message));
  ASSERT_EQ(host.midiReceived.size(), 1u);
  const VstMidiEvent& e = host.midiReceived[0];
  EXPECT_EQ(host.eventListSizes[0], 1);
  EXPECT_EQ(e.type, kVstMidiType);
  EXPECT_EQ(e.byteSize, 32);
  EXPECT_EQ(e.deltaFrames, 17);
  EXPECT_EQ(static_cast<uint8_t>(e.midiData[0]), 0x80);
  EXPECT_EQ(static_cast<uint8_t>(e.midiData[1]), 64);
  EXPECT_EQ(static_cast<uint8_t>(e.midiData[2]), 0x7F);
  EXPECT_EQ(e.midiData[3], 0);
  EXPECT_EQ(e.flags | e.noteLength | e.noteOffset | e.detune | e.noteOffVelocity, 0);

  host.processEventsAnswer = 0;
  EXPECT_FALSE(plugin->SendMidiToHost(message));
}

TEST_F(VstHostCall, SysExSentBack) {
  const uint8_t bytes[] = {0xF0, 0x01, 0xF7};
  SysExMessage message;
  message.offset = 3;
  message.size = 3;
  message.data = bytes;
  EXPECT_TRUE(plugin->SendSysExToHost(message));
  ASSERT_EQ(host.sysexReceived.size(), 1u);
  EXPECT_EQ(host.sysexReceived[0].byteSize, 48);
  EXPECT_EQ(host.sysexReceived[0].dumpBytes, 3);
  EXPECT_EQ(host.sysexReceived[0].deltaFrames, 3);
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(host.sysexReceived[0].sysexDump), bytes);
}

TEST_F(VstHostCall, ANullHostCallbackIsNeverCalled) {
  TestEffect* alone = new TestEffect(nullptr);
  alone->FinishCreation();
  AEffect* record = alone->Record();
  record->dispatcher(record, effOpen, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(alone->StoredHostKind(), HostKind{0});
  alone->ApplyEditorChange(0, 1.0);
  alone->BeginHostGesture(0);
  EXPECT_EQ(alone->HostTempo(), 0.0);
  EXPECT_EQ(alone->HostSamplePosition(), 0);
  EXPECT_FALSE(alone->SendMidiToHost(MidiMessage{}));
  float in[8] = {}, out[8] = {};
  float* ins[] = {in, in};
  float* outs[] = {out, out};
  record->processReplacing(record, ins, outs, 8);
  record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
  EXPECT_TRUE(host.calls.empty());
}

using VstProcess = BindingTest;

TEST_F(VstProcess, EveryCallbackAsksForMidiAndConverts) {
  float in0[4] = {1, 2, 3, 4}, in1[4] = {-2, -2, -2, -2};
  float out0[4] = {10, 10, 10, 10}, out1[4] = {10, 10, 10, 10};
  float* ins[] = {in0, in1};
  float* outs[] = {out0, out1};
  effect->processReplacing(effect, ins, outs, 4);
  EXPECT_EQ(out0[3], 2.0f);
  EXPECT_EQ(out1[0], 0.0f);
  effect->process(effect, ins, outs, 4);
  EXPECT_EQ(out0[3], 4.0f);
  EXPECT_EQ(out1[0], 0.0f + 0.0f);
  double d0[2] = {4, 4}, d1[2] = {0, 0}, o0[2], o1[2];
  double* dins[] = {d0, d1};
  double* douts[] = {o0, o1};
  effect->processDoubleReplacing(effect, dins, douts, 2);
  EXPECT_EQ(o0[1], 2.0);
  EXPECT_EQ(o1[1], 1.0);
  EXPECT_EQ(host.Count(audioMasterWantMidi), 3);
}

TEST_F(VstProcess, NoMidiModeMeansNoWantMidi) {
  Create("1-1 2-2", 3, 0);
  float buffer[4] = {};
  float* channels[] = {buffer, buffer};
  effect->processReplacing(effect, channels, channels, 4);
  EXPECT_EQ(host.Count(audioMasterWantMidi), 0);
}

TEST_F(VstProcess, BlocksLongerThanAnnouncedAreProcessedInPieces) {
  Dispatch(effSetBlockSize, 0, 64);
  std::vector<float> in(1000, 1.0f), out(1000, 0.0f);
  float* ins[] = {in.data(), in.data()};
  float* outs[] = {out.data(), out.data()};
  plugin->blocks.clear();
  effect->processReplacing(effect, ins, outs, 1000);
  for (int32_t frames : plugin->blocks)
    EXPECT_LE(frames, 64);
  int32_t total = 0;
  for (int32_t frames : plugin->blocks)
    total += frames;
  EXPECT_EQ(total, 1000);
  EXPECT_EQ(out[999], 1.5f); // channel 1 wrote last into the shared buffer
  std::vector<double> din(1000, 2.0), dout(1000, 0.0);
  double* dins[] = {din.data(), din.data()};
  double* douts[] = {dout.data(), dout.data()};
  plugin->blocks.clear();
  effect->processDoubleReplacing(effect, dins, douts, 1000);
  for (int32_t frames : plugin->blocks)
    EXPECT_LE(frames, 64);
  EXPECT_EQ(dout[999], 2.0);
}

TEST_F(VstProcess, ZeroAndNegativeFrameCountsWriteNothing) {
  float in[2] = {1, 1}, out[2] = {7, 7};
  float* ins[] = {in, in};
  float* outs[] = {out, out};
  effect->processReplacing(effect, ins, outs, 0);
  effect->processReplacing(effect, ins, outs, -5);
  EXPECT_EQ(out[0], 7.0f);
}

} // namespace quorvane
