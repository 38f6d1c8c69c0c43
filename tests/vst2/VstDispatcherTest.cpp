#include "framework/vst2/VstText.h"
#include "tests/support/VstEventList.h"
#include "tests/vst2/BindingFixture.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace quorvane {

using VstRecord = BindingTest;

TEST_F(VstRecord, DescribesThePlugIn) {
  EXPECT_EQ(effect->magic, kEffectMagic);
  EXPECT_EQ(effect->object, plugin);
  EXPECT_NE(effect->process, nullptr);
  EXPECT_NE(effect->processReplacing, nullptr);
  EXPECT_NE(effect->processDoubleReplacing, nullptr);
  EXPECT_EQ(effect->numParams, 4);
  EXPECT_EQ(effect->numPrograms, 3);
  EXPECT_EQ(effect->numInputs, 2);
  EXPECT_EQ(effect->numOutputs, 2);
  EXPECT_EQ(effect->flags, effFlagsCanReplacing | effFlagsCanDoubleReplacing | effFlagsCanMono);
  EXPECT_EQ(effect->ioRatio, 1.0f);
  EXPECT_EQ(effect->uniqueID, TestEffect::kUniqueId);
  EXPECT_EQ(effect->version, 10203);
  EXPECT_EQ(Dispatch(effGetVendorVersion), 10203);
  EXPECT_EQ(Dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(Dispatch(effIdentify), 0x4E764566);
  EXPECT_EQ(Dispatch(effGetPlugCategory), kPlugCategEffect);
}

TEST_F(VstRecord, WithoutAnEditorTheEditorOpcodesAnswerZero) {
  ERect* rect = nullptr;
  EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &rect), 0);
  EXPECT_EQ(rect, nullptr);
  EXPECT_EQ(Dispatch(effEditOpen), 0);
  EXPECT_EQ(Dispatch(effEditClose), 0);
  EXPECT_EQ(Dispatch(effVendorSpecific, IEffectVST::kWheelRequest, IEffectVST::kWheelRequestValue,
                     nullptr, 1.0f),
            0);
}

TEST_F(VstRecord, APlugInWithoutProgramsGetsADefaultOne) {
  Create("2-2", 0);
  EXPECT_EQ(effect->numPrograms, 1);
  EXPECT_EQ(Text(effGetProgramNameIndexed, 0, kHostProgramNameSize), "Default");
}

TEST_F(VstRecord, ANullRecordObjectAnswersZero) {
  void* object = effect->object;
  effect->object = nullptr;
  EXPECT_EQ(Dispatch(effIdentify), 0);
  EXPECT_EQ(effect->getParameter(effect, 0), 0.0f);
  effect->object = object;
}

using VstEditor = BindingTest;

TEST_F(VstEditor, RectOpenCloseAndWheelReachTheEditor) {
  auto log = plugin->AttachWindowEditor();
  EXPECT_NE(effect->flags & effFlagsHasEditor, 0);
  ERect* rect = nullptr;
  EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, nullptr), 0);
  ASSERT_EQ(Dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, WindowEditor::kHeight);
  EXPECT_EQ(rect->right, WindowEditor::kWidth);

  EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &host), 1);
  EXPECT_EQ(Dispatch(effEditClose), 1);
  const intptr_t whee = IEffectVST::kWheelRequestValue;
  EXPECT_EQ(Dispatch(effVendorSpecific, IEffectVST::kWheelRequest, whee, nullptr, 1.0f), 1);
  EXPECT_EQ(Dispatch(effVendorSpecific, IEffectVST::kWheelRequest, whee, nullptr, -1.0f), 0);
  EXPECT_EQ(Dispatch(effVendorSpecific, IEffectVST::kWheelRequest, 0, nullptr, 1.0f), 0);
  const intptr_t aecs = IEffectVST::kScaleRequestValue;
  EXPECT_EQ(Dispatch(effVendorSpecific, IEffectVST::kScaleRequest, aecs, nullptr, 1.5f), 1);
  EXPECT_EQ(Dispatch(effVendorSpecific, IEffectVST::kScaleRequest, 0, nullptr, 2.0f), 0);
  EXPECT_EQ(*log, (std::vector<std::string>{"open", "opened", "closed", "close", "wheel 1.000000",
                                            "wheel -1.000000", "scale 1.500000"}));
}

TEST_F(VstEditor, OpeningWithoutAHostWindowIsRefusedAndLeavesAnOpenWindow) {
  auto log = plugin->AttachWindowEditor();
  ASSERT_EQ(Dispatch(effEditOpen, 0, 0, &host), 1);
  log->clear();
  // A window cannot be a child of nothing; asking must not close the one that is open.
  EXPECT_EQ(Dispatch(effEditOpen, 0, 0, nullptr), 0);
  EXPECT_TRUE(log->empty());
}

TEST_F(VstEditor, ClosingThePlugInEndsAPendingWheelGestureFirst) {
  auto log = plugin->AttachWindowEditor();
  plugin->BeginHostGestureOnce(1);
  plugin->EndHostGestureLater(1); // countdown running, gesture still open at the host
  ASSERT_EQ(host.Count(audioMasterEndEdit), 0);
  Close();
  EXPECT_EQ(host.Count(audioMasterEndEdit), 1);
  EXPECT_EQ(host.calls.back().opcode, audioMasterEndEdit);
  EXPECT_EQ(host.calls.back().index, 1);
  EXPECT_EQ(log->back(), "destroyed");
}

using VstText = BindingTest;

TEST_F(VstText, TextsAreCutToWhatHostBuffersHold) {
  EXPECT_EQ(Text(effGetParamName, 0, kHostParamNameSize), "Filter Type");
  EXPECT_EQ(Text(effGetParamName, 3, kHostParamNameSize), "A parameter with a long name xx");
  EXPECT_EQ(Text(effGetParamLabel, 1, kHostParamLabelSize), "Hz");
  EXPECT_EQ(Text(effGetParamLabel, 3, kHostParamLabelSize), "longunit");
  EXPECT_EQ(Text(effGetParamDisplay, 0, kHostParamDisplaySize), "Highpass");
  EXPECT_EQ(Text(effGetParamDisplay, 1, kHostParamDisplaySize), "20");
  EXPECT_EQ(Text(effGetParamDisplay, 3, kHostParamDisplaySize), "0.50");
  EXPECT_EQ(Text(effGetProgramName, 0, kHostProgramNameSize), "First program with a lon");
  EXPECT_EQ(Text(effGetEffectName, 0, kHostEffectNameSize), "Test Effect");
  EXPECT_EQ(Text(effGetVendorString, 0, kHostVendorTextSize), "Test Vendor");
  EXPECT_EQ(Text(effGetProductString, 0, kHostVendorTextSize), "Test Product");
}

TEST_F(VstText, LongIdentityTextsAreCut) {
  const std::string name(127, 'n');
  Create("1-1 2-2", 3, 1, name.c_str());
  EXPECT_EQ(Text(effGetEffectName, 0, kHostEffectNameSize), std::string(32, 'n'));
}

TEST_F(VstText, BadIndicesAndNullBuffersWriteNothing) {
  for (int32_t opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
    for (int32_t index : {-1, 4, 1000}) {
      char buffer[8];
      std::memset(buffer, kSentinel, sizeof buffer);
      EXPECT_EQ(Dispatch(opcode, index, 0, buffer), 0);
      EXPECT_EQ(buffer[0], kSentinel);
    }
    EXPECT_EQ(Dispatch(opcode, 0, 0, nullptr), 0);
  }
  for (int32_t opcode : {effGetEffectName, effGetVendorString, effGetProductString,
                         effGetProgramNameIndexed, effGetProgramName, effCanDo}) {
    EXPECT_EQ(Dispatch(opcode, 0, 0, nullptr), 0) << opcode;
  }
}

TEST_F(VstText, IndexedProgramNames) {
  char name[64];
  EXPECT_EQ(Dispatch(effGetProgramNameIndexed, 1, 0, name), 1);
  EXPECT_STREQ(name, "Second");
  EXPECT_EQ(Dispatch(effGetProgramNameIndexed, 2, 0, name), 1);
  EXPECT_STREQ(name, "- 3 -");
  EXPECT_EQ(Dispatch(effGetProgramNameIndexed, 3, 0, name), 0);
  EXPECT_STREQ(name, "");
  EXPECT_EQ(Dispatch(effGetProgramNameIndexed, -1, 0, name), 0);
}

using VstProgram = BindingTest;

TEST_F(VstProgram, SettingAProgramKeepsEditsInTheProgramLeft) {
  effect->setParameter(effect, 0, 0.0f); // Lowpass, edited in program 0
  Dispatch(effSetProgram, 0, 1);
  EXPECT_EQ(Dispatch(effGetProgram), 1);
  EXPECT_EQ(Text(effGetParamDisplay, 0, kHostParamDisplaySize), "Bandpass");
  EXPECT_EQ(Text(effGetParamDisplay, 1, kHostParamDisplaySize), "2000");
  Dispatch(effSetProgram, 0, 0);
  EXPECT_EQ(Text(effGetParamDisplay, 0, kHostParamDisplaySize), "Lowpass");
}

TEST_F(VstProgram, BadProgramIndicesChangeNothing) {
  for (intptr_t index : {intptr_t{-1}, intptr_t{3}, intptr_t{1} << 40}) {
    Dispatch(effSetProgram, 0, index);
    EXPECT_EQ(Dispatch(effGetProgram), 0);
  }
}

TEST_F(VstProgram, RenamingStoresTheLiveValues) {
  effect->setParameter(effect, 2, 1.0f);
  char name[] = "Renamed";
  Dispatch(effSetProgramName, 0, 0, name);
  Dispatch(effSetProgram, 0, 1);
  Dispatch(effSetProgram, 0, 0);
  EXPECT_EQ(Text(effGetProgramName, 0, kHostProgramNameSize), "Renamed");
  EXPECT_EQ(Text(effGetParamDisplay, 2, kHostParamDisplaySize), "Down");
}

using VstParameter = BindingTest;

TEST_F(VstParameter, AutomationLandsInGetParameter) {
  effect->setParameter(effect, 1, 0.5f);
  EXPECT_FLOAT_EQ(effect->getParameter(effect, 1), 0.5f);
  EXPECT_EQ(Text(effGetParamDisplay, 1, kHostParamDisplaySize), "5015");
  EXPECT_EQ(plugin->changes.back(), 1);
  effect->setParameter(effect, 7, 0.5f);
  effect->setParameter(effect, -1, 0.5f);
  EXPECT_EQ(effect->getParameter(effect, 7), 0.0f);
  EXPECT_EQ(effect->getParameter(effect, -1), 0.0f);
}

TEST_F(VstParameter, StringToParameterClampsAndAnnounces) {
  char text[] = "99999";
  EXPECT_EQ(Dispatch(effString2Parameter, 1, 0, text), 1);
  EXPECT_EQ(plugin->Param(1)->Value(), 20000.0);
  EXPECT_EQ(plugin->changes.back(), 1);
  EXPECT_EQ(host.Count(audioMasterAutomate), 0);
  char word[] = "Bandpass";
  EXPECT_EQ(Dispatch(effString2Parameter, 0, 0, word), 1);
  EXPECT_EQ(plugin->Param(0)->Value(), 2.0);
  EXPECT_EQ(Dispatch(effString2Parameter, 4, 0, text), 0);
  EXPECT_EQ(Dispatch(effString2Parameter, 0, 0, nullptr), 0);
  EXPECT_EQ(Dispatch(effCanBeAutomated, 2), 1);
}

TEST_F(VstParameter, HostExtensionTextToNormalisedLeavesTheParameter) {
  char text[32] = "Highpass";
  EXPECT_EQ(Dispatch(effVendorSpecific, effString2Parameter, 0, text), 0xBEEF);
  EXPECT_STREQ(text, "0.50000000000000000");
  EXPECT_EQ(plugin->Param(0)->Value(), 1.0);
  char empty[4] = "";
  EXPECT_EQ(Dispatch(effVendorSpecific, effString2Parameter, 0, empty), 0xBEEF);
  EXPECT_STREQ(empty, "");
  EXPECT_EQ(Dispatch(effVendorSpecific, effString2Parameter, 9, text), 0);
  EXPECT_EQ(Dispatch(effVendorSpecific, effString2Parameter, 0, nullptr), 0);
}

TEST_F(VstParameter, HostExtensionDisplayOfANormalisedValue) {
  char text[64];
  std::memset(text, kSentinel, sizeof text);
  EXPECT_EQ(Dispatch(effVendorSpecific, effGetParamDisplay, 1, text, 0.5f), 0xBEEF);
  EXPECT_STREQ(text, "5015");
  EXPECT_EQ(plugin->Param(1)->Value(), 20.0);
  std::memset(text, kSentinel, sizeof text);
  EXPECT_EQ(Dispatch(effVendorSpecific, effGetParamDisplay, 99, text, 0.5f), 0xBEEF);
  EXPECT_EQ(text[0], kSentinel);
  EXPECT_EQ(Dispatch(effVendorSpecific, effGetParamDisplay, 1, nullptr, 0.5f), 0);
}

TEST_F(VstParameter, HostExtensionSwitchQuery) {
  EXPECT_EQ(Dispatch(effVendorSpecific, effGetParamName, 2), 0xBEEF); // two choices
  EXPECT_EQ(Dispatch(effVendorSpecific, effGetParamName, 0), 0);      // three choices
  EXPECT_EQ(Dispatch(effVendorSpecific, effGetParamName, 1), 0);
  EXPECT_EQ(Dispatch(effVendorSpecific, effGetParamName, 3), 0); // real
  EXPECT_EQ(Dispatch(effVendorSpecific, effGetParamName, -3), 0);
  EXPECT_EQ(Dispatch(effVendorSpecific, 12345, 2), 0);
}

using VstCanDo = BindingTest;

TEST_F(VstCanDo, AnswersFollowTheMidiMode) {
  auto canDo = [&](const char* text) {
    std::string copy = text;
    return Dispatch(effCanDo, 0, 0, &copy[0]);
  };
  const char* receive[] = {"receiveVstEvents", "receiveVstMidiEvent"};
  const char* send[] = {"sendVstEvents", "sendVstMidiEvent"};
  struct Case {
    int32_t mode;
    bool receives, sends;
  };
  for (Case c :
       {Case{0, false, false}, Case{1, true, true}, Case{2, true, false}, Case{3, false, true}}) {
    Create("1-1 2-2", 3, c.mode);
    EXPECT_EQ(canDo("receiveVstTimeInfo"), 1) << c.mode;
    for (const char* text : receive)
      EXPECT_EQ(canDo(text), c.receives ? 1 : 0) << c.mode << text;
    for (const char* text : send)
      EXPECT_EQ(canDo(text), c.sends ? 1 : 0) << c.mode << text;
  }
  EXPECT_EQ(canDo("receiveVstTimeInfoX"), 0);
  EXPECT_EQ(canDo("bypass"), 0);
  EXPECT_EQ(canDo(""), 0);
}

using VstChannel = BindingTest;

TEST_F(VstChannel, PinProperties) {
  VstPinProperties pin{};
  EXPECT_EQ(Dispatch(effGetInputProperties, 0, 0, &pin), 1);
  EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
  EXPECT_STREQ(pin.label, "Input 1");
  EXPECT_EQ(Dispatch(effGetOutputProperties, 1, 0, &pin), 1);
  EXPECT_EQ(pin.flags, kVstPinIsActive);
  EXPECT_STREQ(pin.label, "Output 2");
  EXPECT_EQ(Dispatch(effGetInputProperties, 2, 0, &pin), 0);
  EXPECT_EQ(Dispatch(effGetOutputProperties, -1, 0, &pin), 0);
  EXPECT_EQ(Dispatch(effGetInputProperties, 0, 0, nullptr), 0);
}

TEST_F(VstChannel, MonoArrangementDisconnectsTheSecondInputOnly) {
  VstSpeakerArrangement mono{};
  mono.type = kSpeakerArrMono;
  mono.numChannels = 1;
  EXPECT_EQ(Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&mono), nullptr), 1);
  EXPECT_TRUE(plugin->InputConnected(0));
  EXPECT_FALSE(plugin->InputConnected(1));
  EXPECT_TRUE(plugin->OutputConnected(1));

  VstSpeakerArrangement* in = nullptr;
  VstSpeakerArrangement* out = nullptr;
  EXPECT_EQ(Dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&in), &out), 1);
  ASSERT_NE(in, nullptr);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(in->type, kSpeakerArrStereo);
  EXPECT_EQ(in->numChannels, 2);
  EXPECT_EQ(out->numChannels, 2);

  // The host's first pointer feeds input 0; input 1 reads silence.
  double a[4] = {1, 1, 1, 1}, b[4] = {3, 3, 3, 3}, o0[4], o1[4];
  double* ins[] = {a, b};
  double* outs[] = {o0, o1};
  effect->processDoubleReplacing(effect, ins, outs, 4);
  EXPECT_EQ(o0[3], 0.5);
  EXPECT_EQ(o1[3], 1.0);
}

TEST_F(VstChannel, ArrangementsWithAbsurdCountsAreClamped) {
  VstSpeakerArrangement wide{};
  wide.numChannels = 1000;
  VstSpeakerArrangement negative{};
  negative.numChannels = -5;
  EXPECT_EQ(Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&wide), &negative), 1);
  EXPECT_TRUE(plugin->InputConnected(1));
  EXPECT_FALSE(plugin->OutputConnected(0));
  EXPECT_EQ(Dispatch(effSetSpeakerArrangement, 0, 0, nullptr), 1);
}

using VstEventDelivery = BindingTest;

TEST_F(VstEventDelivery, MidiReachesTheEffectInOrderSkippingNullsAndOtherTypes) {
  VstEvent other{};
  other.type = kVstAudioType;
  VstEventList list;
  list.Add(MakeMidi(0, 0x90, 60, 0xFF)).AddRaw(nullptr).AddRaw(&other);
  list.Add(MakeMidi(10, 0x90, 61, 0xFF));
  EXPECT_EQ(Dispatch(effProcessEvents, 0, 0, list.Get()), 1);
  ASSERT_EQ(plugin->midi.size(), 2u);
  EXPECT_EQ(plugin->midi[1].offset, 10);
  EXPECT_EQ(plugin->midi[1].status, 0x90);
  EXPECT_EQ(plugin->midi[1].data1, 61);
  EXPECT_EQ(plugin->midi[1].data2, 0xFF);
  EXPECT_EQ(Dispatch(effProcessEvents, 0, 0, nullptr), 0);
}

TEST_F(VstEventDelivery, SysExIsDeliveredUnlessItCannotBeRead) {
  uint8_t bytes[] = {0xF0, 0x7E, 0xF7};
  VstMidiSysexEvent good{}, negative{}, missing{};
  for (VstMidiSysexEvent* e : {&good, &negative, &missing}) {
    e->type = kVstSysExType;
    e->byteSize = sizeof(VstMidiSysexEvent);
  }
  good.dumpBytes = 3;
  good.deltaFrames = 7;
  good.sysexDump = reinterpret_cast<char*>(bytes);
  negative.dumpBytes = -4;
  negative.sysexDump = reinterpret_cast<char*>(bytes);
  missing.dumpBytes = 100;
  VstEventList list;
  list.AddRaw(reinterpret_cast<VstEvent*>(&negative)).AddRaw(reinterpret_cast<VstEvent*>(&missing));
  list.AddRaw(reinterpret_cast<VstEvent*>(&good));
  EXPECT_EQ(Dispatch(effProcessEvents, 0, 0, list.Get()), 1);
  ASSERT_EQ(plugin->sysex.size(), 1u);
  EXPECT_EQ(plugin->sysex[0].size, 3);
  EXPECT_EQ(plugin->sysex[0].offset, 7);
  EXPECT_EQ(plugin->sysex[0].data, bytes);
}

using VstLifecycle = BindingTest;

TEST_F(VstLifecycle, RateBlockSizeAndActivation) {
  Dispatch(effOpen);
  EXPECT_EQ(plugin->changes, (std::vector<int32_t>{0, 1, 2, 3}));
  Dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
  EXPECT_EQ(plugin->SampleRate(), 96000.0);
  Dispatch(effSetBlockSize, 0, 256);
  EXPECT_EQ(plugin->BlockSize(), 256);
  EXPECT_EQ(plugin->resets, 2);
  Dispatch(effMainsChanged, 0, 1);
  Dispatch(effMainsChanged, 0, 0);
  EXPECT_EQ(plugin->activations, (std::vector<bool>{true, false}));
  EXPECT_EQ(plugin->resets, 3);
}

TEST_F(VstLifecycle, ImplausibleSampleRatesAreIgnored) {
  Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
  for (float rate :
       {0.0f, -44100.0f, 100.0f, 1e30f, std::numeric_limits<float>::infinity(), std::nanf("")}) {
    Dispatch(effSetSampleRate, 0, 0, nullptr, rate);
    EXPECT_EQ(plugin->SampleRate(), 48000.0) << rate;
  }
  Dispatch(effSetSampleRate, 0, 0, nullptr, 8000.0f);
  EXPECT_EQ(plugin->SampleRate(), 8000.0);
  Dispatch(effSetSampleRate, 0, 0, nullptr, 384000.0f);
  EXPECT_EQ(plugin->SampleRate(), 384000.0);
}

TEST_F(VstLifecycle, AbsurdBlockSizesAreCappedOrIgnored) {
  Dispatch(effSetBlockSize, 0, 0);
  EXPECT_EQ(plugin->BlockSize(), 1024);
  Dispatch(effSetBlockSize, 0, -64);
  EXPECT_EQ(plugin->BlockSize(), 1024);
  Dispatch(effSetBlockSize, 0, intptr_t{1} << 40);
  EXPECT_EQ(plugin->BlockSize(), IEffectVST::kMaxPreparedBlockSize);
}

TEST_F(VstLifecycle, ChunksThroughTheDispatcher) {
  effect->setParameter(effect, 1, 0.25f);
  const float before = effect->getParameter(effect, 1);
  void* data = nullptr;
  const intptr_t size = Dispatch(effGetChunk, 1, 0, &data);
  ASSERT_EQ(size, 8 + 4 * 8);
  const std::vector<uint8_t> saved(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
  effect->setParameter(effect, 1, 1.0f);
  std::vector<uint8_t> copy = saved;
  EXPECT_EQ(Dispatch(effSetChunk, 1, size, copy.data()), 1);
  EXPECT_EQ(effect->getParameter(effect, 1), before);
  EXPECT_EQ(Dispatch(effGetChunk, 1, 0, nullptr), 0);
  EXPECT_EQ(Dispatch(effSetChunk, 1, 0, copy.data()), 0);
  EXPECT_EQ(Dispatch(effSetChunk, 1, -5, copy.data()), 0);
  EXPECT_EQ(Dispatch(effSetChunk, 1, size, nullptr), 0);
  EXPECT_GT(Dispatch(effGetChunk, 0, 0, &data), 8);
}

TEST_F(VstLifecycle, UnhandledOpcodesAnswerZero) {
  for (int32_t opcode : std::initializer_list<int32_t>{
           effGetVu, effEditIdle, effProcessVarIo, effSetBypass, effGetTailSize, effIdle,
           effStartProcess, effStopProcess, effSetProcessPrecision, 200, -1}) {
    EXPECT_EQ(Dispatch(opcode, 0, 1), 0) << opcode;
  }
}

} // namespace quorvane
