#include "Options.h"
#include "Renderer.h"
#include "Report.h"
#include "TestSignal.h"

#include <gtest/gtest.h>

#include <cmath>

using vsthost::AudioBuffer;

TEST(VstHostTestSignal, KindsLevelsAndDeterminism) {
  AudioBuffer a, b;
  std::string error;
  ASSERT_TRUE(vsthost::MakeTestSignal("sine:1000", 48000, 480, 2, a, error)) << error;
  EXPECT_EQ(a.ChannelCount(), 2);
  EXPECT_EQ(a.channels[0], a.channels[1]);
  float peak = 0;
  for (float s : a.channels[0])
    peak = std::max(peak, std::fabs(s));
  EXPECT_NEAR(peak, vsthost::kTestSignalLevel, 1e-6);

  ASSERT_TRUE(vsthost::MakeTestSignal("noise", 44100, 1000, 2, a, error));
  ASSERT_TRUE(vsthost::MakeTestSignal("noise", 44100, 1000, 2, b, error));
  EXPECT_EQ(a.channels, b.channels);
  EXPECT_NE(a.channels[0], a.channels[1]);
  for (float s : a.channels[0])
    EXPECT_LE(std::fabs(s), vsthost::kTestSignalLevel);

  ASSERT_TRUE(vsthost::MakeTestSignal("impulse", 44100, 4, 1, a, error));
  EXPECT_EQ(a.channels[0], (std::vector<float>{1, 0, 0, 0}));
  ASSERT_TRUE(vsthost::MakeTestSignal("sweep:20:20000", 44100, 44100, 1, a, error));
  ASSERT_TRUE(vsthost::MakeTestSignal("silence", 44100, 3, 1, a, error));
}

TEST(VstHostTestSignal, RefusesBadSpecifications) {
  AudioBuffer a;
  std::string error;
  for (const char* bad : {"sine", "sine:", "sine:abc", "sine:0", "sine:30000", "sweep:20",
                          "noise:3", "square:440", ""}) {
    EXPECT_FALSE(vsthost::MakeTestSignal(bad, 44100, 10, 1, a, error)) << bad;
  }
  EXPECT_FALSE(vsthost::MakeTestSignal("noise", 44100, 10, 3, a, error));
}

TEST(VstHostNotes, OnsAndOffsInTimeOrderOffsFirst) {
  const auto events = vsthost::ScheduleNotes({{0.5, 0.5, 60, 100}, {0.0, 0.5, 64, 200}}, 1000.0);
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].frame, 0);
  EXPECT_EQ(events[0].data1, 64);
  EXPECT_EQ(events[0].data2, 127); // velocity clamped
  EXPECT_EQ(events[1].frame, 500);
  EXPECT_EQ(events[1].status, 0x80); // the first note ends before the second starts
  EXPECT_EQ(events[2].frame, 500);
  EXPECT_EQ(events[2].status, 0x90);
  EXPECT_EQ(events[3].frame, 1000);
}

TEST(VstHostNotes, AZeroLengthNoteEndsAndAFarNoteStaysFar) {
  const auto zero = vsthost::ScheduleNotes({{1.0, 0.0, 60, 100}}, 1000.0);
  ASSERT_EQ(zero.size(), 2u);
  EXPECT_EQ(zero[0].status, 0x90);
  EXPECT_EQ(zero[1].status, 0x80);
  EXPECT_EQ(zero[1].frame, 1000);

  for (const double start : {1e15, 1e300}) {
    const auto far = vsthost::ScheduleNotes({{start, 1.0, 60, 100}}, 384000.0);
    for (const auto& event : far)
      EXPECT_GT(event.frame, int64_t{1} << 40) << start;
  }
}

TEST(VstHostOptions, ParsesACompleteCommandLine) {
  vsthost::Options options;
  std::string error;
  ASSERT_TRUE(vsthost::ParseOptions({"plug.dll",
                                     "-g",
                                     "saw:110",
                                     "--seconds",
                                     "2.5",
                                     "-r",
                                     "48000",
                                     "-b",
                                     "128",
                                     "--process",
                                     "double",
                                     "-n",
                                     "0.25:1.5",
                                     "-n",
                                     "1:0.5:67:90",
                                     "-p",
                                     "Glissando",
                                     "-s",
                                     "Filter Freq=2000",
                                     "-S",
                                     "3=0.25",
                                     "-o",
                                     "out.wav",
                                     "--save-state",
                                     "s.bin"},
                                    options, error))
      << error;
  EXPECT_EQ(options.pluginPath, "plug.dll");
  EXPECT_EQ(options.signal, "saw:110");
  EXPECT_EQ(options.seconds, 2.5);
  EXPECT_EQ(options.sampleRate, 48000);
  EXPECT_EQ(options.render.blockSize, 128);
  EXPECT_EQ(options.render.mode, vsthost::ProcessMode::Double);
  ASSERT_EQ(options.render.notes.size(), 2u);
  EXPECT_EQ(options.render.notes[1].key, 67);
  EXPECT_EQ(options.render.notes[1].velocity, 90);
  ASSERT_EQ(options.settings.size(), 2u);
  EXPECT_EQ(options.settings[0].param, "Filter Freq");
  EXPECT_EQ(options.settings[0].value, "2000");
  EXPECT_TRUE(options.settings[1].normalised);
  EXPECT_EQ(options.outputPath, "out.wav");
}

TEST(VstHostOptions, RefusesContradictionsAndBadValues) {
  vsthost::Options options;
  // Each bad command line, and what the message must name.
  const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
      {{}, "no plug-in"},
      {{"a.dll", "b.wav", "c.wav", "-o", "out.wav"}, "FOLDER/"},
      {{"a.dll", "-i", "x.wav", "-g", "noise"}, "not both"},
      {{"a.dll", "-o", "x.wav"}, "needs an input"},
      {{"a.dll", "-b", "0"}, "--block 0: must be a whole number in 1..65536"},
      {{"a.dll", "-r", "44k"}, "--rate 44k"},
      {{"a.dll", "-n", "1"}, "T:LEN"},
      {{"a.dll", "-n", "1:1:128"}, "--note 1:1:128: key must be a whole number in 0..127"},
      {{"a.dll", "-n", "1:1:60:0"}, "velocity must be a whole number in 1..127"},
      {{"a.dll", "-n", "-1:2"}, "start time"},
      {{"a.dll", "-n", "inf:1"}, "start time must be a finite"},
      {{"a.dll", "-n", "1:nan"}, "length must be a finite"},
      {{"a.dll", "-n", "1e400:1"}, "start time"},
      {{"a.dll", "-S", "3=1.5"}, "0..1"},
      {{"a.dll", "-s", "=3"}, "PARAM=VALUE"},
      {{"a.dll", "--process", "sideways"}, "replacing"},
      {{"a.dll", "--frobnicate"}, "unknown option --frobnicate"},
      {{"a.dll", "-p"}, "needs a value"},
      {{"a.dll", "--quiet=yes"}, "takes no value"},
      {{"a.dll", "-g", "noise", "-o", ""}, "must not be empty"},
      {{"a.dll", "-i", ""}, "must not be empty"},
      {{""}, "empty argument"},
      {{"a.dll", "--save-state", ""}, "must not be empty"},
      {{"a.dll", "--load-state", "s.fxp", "-p", "2"}, "--program would discard"},
      {{"a.dll", "--format", "mp3"}, "f32, f64"},
      {{"a.dll", "--json", "--no-report"}, "contradict"},
      {{"a.dll", "-i", "-", "-i", "-"}, "only once"},
      {{"a.dll", "--save-state", "-"}, "audio only"},
      {{"a.dll", "--editor-scale", "0.5"}, "--editor-scale 0.5: must be a number in 1..4"},
  };
  for (const auto& [args, fragment] : bad) {
    std::string error;
    EXPECT_FALSE(vsthost::ParseOptions(args, options, error)) << args.size();
    EXPECT_NE(error.find(fragment), std::string::npos) << error;
  }
}

TEST(VstHostOptions, CommandLineConventions) {
  vsthost::Options options;
  std::string error;
  // Help wins wherever it stands, even after a bad option.
  ASSERT_TRUE(vsthost::ParseOptions({"--frobnicate", "-b", "0", "-h"}, options, error));
  EXPECT_TRUE(options.help);
  EXPECT_NE(vsthost::UsageText("vsthost").find("--set-normalised"), std::string::npos);

  ASSERT_TRUE(vsthost::ParseOptions(
      {"p.so", "--block=64", "--output=out/", "--", "-a.wav", "b.wav"}, options, error))
      << error;
  EXPECT_EQ(options.render.blockSize, 64);
  EXPECT_EQ(options.inputPaths, (std::vector<std::string>{"-a.wav", "b.wav"}));
  EXPECT_TRUE(options.OutputIsFolder());

  ASSERT_TRUE(vsthost::ParseOptions({"p.so", "-i", "-", "-o", "-", "--tail", "0"}, options, error));
  EXPECT_EQ(options.inputPaths.front(), "-");
  EXPECT_EQ(options.tailSeconds, 0.0);
  ASSERT_TRUE(vsthost::ParseOptions({"--version"}, options, error));
  EXPECT_TRUE(options.version);
}

TEST(VstHostReport, DecimalVersions) {
  EXPECT_EQ(vsthost::DecimalVersionText(10000), "1.0.0");
  EXPECT_EQ(vsthost::DecimalVersionText(10203), "1.2.3");
}
