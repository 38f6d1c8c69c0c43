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
  std::string error;
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"a.dll", "b.dll"},
      {"a.dll", "-i", "x.wav", "-g", "noise"},
      {"a.dll", "-o", "x.wav"},
      {"a.dll", "-b", "0"},
      {"a.dll", "-r", "44k"},
      {"a.dll", "-n", "1"},
      {"a.dll", "-n", "1:2:200"},
      {"a.dll", "-n", "-1:2"},
      {"a.dll", "-S", "3=1.5"},
      {"a.dll", "-s", "=3"},
      {"a.dll", "--process", "sideways"},
      {"a.dll", "--frobnicate"},
      {"a.dll", "-p"},
      {"a.dll", "--editor-scale", "0"},
      {"a.dll", "--editor-scale", "big"},
  };
  for (const auto& args : bad)
    EXPECT_FALSE(vsthost::ParseOptions(args, options, error));
  ASSERT_TRUE(vsthost::ParseOptions({"--help"}, options, error));
  EXPECT_TRUE(options.help);
  EXPECT_NE(vsthost::UsageText("vsthost").find("--set-normalised"), std::string::npos);
}

TEST(VstHostReport, DecimalVersions) {
  EXPECT_EQ(vsthost::DecimalVersionText(10000), "1.0.0");
  EXPECT_EQ(vsthost::DecimalVersionText(10203), "1.2.3");
}
