// The same sound through the native module and through the Windows module under Wine must agree.
// The native build writes its render as the reference; the Windows build, whose tests run after
// the native ones, renders the same and compares.

#include "RenderHost.h"
#include "Renderer.h"
#include "TestSignal.h"
#include "VstPlugin.h"
#include "tests/integration/PluginFixture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace quorvane {

namespace {

std::string CrossCheckFile(const char* name) {
  std::string dir = QUORVANE_CROSS_CHECK_DIR;
#if defined(_WIN32)
  if (!dir.empty() && dir[0] == '/') dir = "Z:" + dir;
#endif
  return dir + "/" + name;
}

// Glissando over stereo noise with two notes, in blocks of 256 at 44.1 kHz, interleaved.
std::vector<float> RenderDemo() {
  vsthost::RenderHost host;
  vsthost::VstPlugin plugin;
  std::string error;
  EXPECT_TRUE(plugin.Create(LoadedPlugin().EntryPoint(), host.Callback(), error)) << error;
  if (plugin.Effect() == nullptr) return {};
  plugin.Dispatch(effOpen);
  plugin.Dispatch(effSetProgram, 0, plugin.FindProgram("Glissando"));
  vsthost::AudioBuffer in, out;
  EXPECT_TRUE(vsthost::MakeTestSignal("noise", 44100, 88200, 2, in, error)) << error;
  vsthost::RenderSettings settings;
  settings.blockSize = 256;
  settings.notes = {{0.2, 0.8, 60, 100}, {1.2, 0.5, 67, 90}};
  EXPECT_TRUE(vsthost::Render(plugin, host, in, out, settings, nullptr, error)) << error;
  std::vector<float> interleaved;
  for (size_t i = 0; i < out.Frames(); ++i)
    for (const auto& channel : out.channels)
      interleaved.push_back(channel[i]);
  return interleaved;
}

bool WriteFloats(const std::string& path, const std::vector<float>& samples) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok =
      std::fwrite(samples.data(), sizeof(float), samples.size(), file) == samples.size();
  return std::fclose(file) == 0 && ok;
}

#if defined(_WIN32)
bool ReadFloats(const std::string& path, std::vector<float>& samples) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  float chunk[4096];
  size_t got;
  while ((got = std::fread(chunk, sizeof(float), 4096, file)) > 0)
    samples.insert(samples.end(), chunk, chunk + got);
  std::fclose(file);
  return true;
}
#endif

} // namespace

TEST(QuorvaneCrossBuild, RendersAgreeToMinus120Decibels) {
  const std::vector<float> render = RenderDemo();
  ASSERT_EQ(render.size(), 2u * 88200u);
  float peak = 0.0f;
  for (float s : render) {
    ASSERT_TRUE(std::isfinite(s));
    peak = std::max(peak, std::fabs(s));
  }
  ASSERT_GT(peak, 0.01f);
#if defined(_WIN32)
  EXPECT_TRUE(WriteFloats(CrossCheckFile("render-windows.f32"), render));
  std::vector<float> reference;
  if (!ReadFloats(CrossCheckFile("render-native.f32"), reference))
    GTEST_SKIP() << "no native reference yet: run the native tests first";
  ASSERT_EQ(reference.size(), render.size());
  float worst = 0.0f;
  for (size_t i = 0; i < render.size(); ++i)
    worst = std::max(worst, std::fabs(render[i] - reference[i]));
  EXPECT_LE(worst, peak * 1e-6f) << "largest difference " << worst << " against a peak of " << peak
                                 << " (a native reference older than this build, from "
                                 << "other effect sources, also differs: rerun the native tests)";
#else
  EXPECT_TRUE(WriteFloats(CrossCheckFile("render-native.f32"), render));
#endif
}

} // namespace quorvane
