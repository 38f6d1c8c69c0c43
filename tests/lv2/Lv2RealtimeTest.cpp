// run allocates nothing and takes no lock but the plug-in's, with notes arriving, controls
// changing before every run and the envelope driving every target in turn.

#include "tests/lv2/Lv2TestHost.h"
#include "tests/support/AudioThreadWatch.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(Lv2Realtime, RunNeverAllocatesOrTakesAnotherLock) {
  if (!AudioThreadWatch::Available()) GTEST_SKIP() << "the allocator cannot be replaced here";
  constexpr uint32_t kFrames = 64;
  constexpr int kBlocks = 6000;
  Lv2TestWorld world;
  Lv2TestInstance instance(world, 48000.0);
  ASSERT_TRUE(instance.Valid());

  const uint32_t ports = lilv_plugin_get_num_ports(world.Plugin());
  std::vector<float> minimum(ports), maximum(ports);
  lilv_plugin_get_port_ranges_float(world.Plugin(), minimum.data(), maximum.data(), nullptr);
  std::vector<float*> controls;
  std::vector<uint32_t> controlPorts;
  for (uint32_t i = 0; i < ports; ++i) {
    const LilvNode* symbol =
        lilv_port_get_symbol(world.Plugin(), lilv_plugin_get_port_by_index(world.Plugin(), i));
    if (float* control = instance.ControlBuffer(lilv_node_as_string(symbol));
        control != nullptr && !std::isnan(minimum[i])) {
      controls.push_back(control);
      controlPorts.push_back(i);
    }
  }
  float* target = instance.ControlBuffer("env_target");
  float* times[] = {instance.ControlBuffer("env_attack"), instance.ControlBuffer("env_decay"),
                    instance.ControlBuffer("env_release")};

  std::vector<std::vector<float>> in(2, std::vector<float>(kFrames));
  std::vector<std::vector<float>> out(2, std::vector<float>(kFrames));
  for (uint32_t j = 0; j < kFrames; ++j)
    in[0][j] = in[1][j] = (j % 16 < 8) ? 0.8f : -0.8f;
  const std::vector<Lv2MidiEvent> notes = {
      {0, {0x90, 60, 100}}, {10, {0xB0, 1, 64}}, {40, {0x80, 60, 0}}};
  const std::vector<Lv2MidiEvent> none;

  AudioThreadWatch::Start();
  for (int block = 0; block < kBlocks; ++block) {
    if (block % 500 == 0) {
      *target = static_cast<float>((block / 500) % 4);
      for (float* time : times)
        *time = 5.0f;
    }
    const std::size_t c = static_cast<std::size_t>(block) % controls.size();
    if (controls[c] != target && controls[c] != times[0] && controls[c] != times[1] &&
        controls[c] != times[2]) {
      const uint32_t port = controlPorts[c];
      *controls[c] = minimum[port] +
                     (maximum[port] - minimum[port]) * static_cast<float>(block % 101) / 100.0f;
    }
    instance.Run(in, out, block % 8 == 0 ? notes : none);
  }
  AudioThreadWatch::Stop();
  EXPECT_EQ(AudioThreadWatch::Allocations(), 0);
  // The plug-in lock, and nothing else.
  EXPECT_EQ(AudioThreadWatch::Mutexes(), 1);
}

} // namespace
