// Two threads on one effect, as a host drives it: the audio thread processes many small blocks
// and automates parameters between them, while the user-interface thread sets parameters,
// switches programs, saves and restores chunks, sends MIDI and works the editor (pushes, paints,
// mouse gestures). Built with ThreadSanitizer this is the data-race check; without it, it still
// shows that nothing deadlocks or breaks the output.

#include "editor/IDropDown.h"
#include "editor/IKnobRotVal.h"
#include "editor/IRadioButtons.h"
#include "editor/ISlider.h"
#include "editor/ISwitchControl.h"
#include "effect/VSTCLASS.h"

#include "tests/editor/TestImages.h"
#include "tests/editor/TestSurface.h"
#include "tests/support/VstEventList.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace quorvane {
namespace {

using test::TestSurface;

constexpr int kBlocks = 20000;
constexpr int kFrames = 32;

// The effect's controls, one per parameter, on a test surface attached to the real effect.
TestSurface& AttachEditor(VSTCLASS& effect) {
  auto owned = std::make_unique<TestSurface>(&effect, 500, 250);
  TestSurface& surface = *owned;
  const BitmapRef knob = surface.Load(test::Strip(20, 20, true, {test::kRed, test::kBlue}), 2);
  const BitmapRef three =
      surface.Load(test::Strip(20, 10, true, {test::kRed, test::kGreen, test::kBlue}), 3);
  const BitmapRef four = surface.Load(
      test::Strip(40, 10, true, {test::kRed, test::kGreen, test::kBlue, test::kWhite}), 4);
  const BitmapRef handle = surface.Load(test::Solid(8, 8, test::kGrey), 1);
  TextStyle text;
  std::strcpy(text.fontName, "Arial");
  text.size = 12;

  surface.AddControl(std::make_unique<IRadioButtons>(&effect, VSTCLASS::kParamFilterType, 10, 10,
                                                     three, true, 1, 0, 0, 0));
  for (int32_t index : {1, 2, 3, 5, 6, 7, 8, 9})
    surface.AddControl(std::make_unique<IKnobRotVal>(&effect, index, 40 * index, 120, knob, text, 4,
                                                     300, 4.0, 0, 0));
  surface.AddControl(
      std::make_unique<IDropDown>(&effect, VSTCLASS::kParamEnvTarget, 100, 40, four, four));
  surface.AddControl(std::make_unique<ISlider>(&effect, VSTCLASS::kParamEnvVolCompensation,
                                               Rect{300, 40, 370, 60}, handle, text,
                                               Color{255, 120, 120, 120}, 70, 6, 1));
  surface.AddControl(std::make_unique<ISwitchControl>(
      &effect, 400, 40, VSTCLASS::kParamEnvCompensation, three, true));
  surface.AddControl(
      std::make_unique<ISwitchControl>(&effect, 430, 40, VSTCLASS::kParamEnvDirection, knob, true));
  effect.AttachEditor(std::move(owned));
  surface.OpenEditorWindow(nullptr);
  return surface;
}

TEST(ConcurrentUse, AudioAndUserInterfaceThreadsShareTheEffect) {
  auto* effect = new VSTCLASS(nullptr);
  effect->FinishCreation();
  TestSurface& surface = AttachEditor(*effect);
  AEffect* record = effect->Record();
  record->dispatcher(record, effOpen, 0, 0, nullptr, 0.0f);
  record->dispatcher(record, effSetSampleRate, 0, 0, nullptr, 48000.0f);
  record->dispatcher(record, effSetBlockSize, 0, kFrames, nullptr, 0.0f);
  record->dispatcher(record, effMainsChanged, 0, 1, nullptr, 0.0f);
  record->setParameter(record, VSTCLASS::kParamEnvTarget, 0.4f);

  std::atomic<bool> audioDone{false};
  std::atomic<int> badSamples{0};
  std::thread audio([&] {
    std::vector<float> in(kFrames), left(kFrames), right(kFrames);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {left.data(), right.data()};
    unsigned seed = 1;
    for (int block = 0; block < kBlocks; ++block) {
      for (float& x : in) {
        seed = seed * 1664525u + 1013904223u;
        x = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
      }
      // Automation from the audio thread pushes values into the editor's controls.
      if (block % 4 == 0)
        record->setParameter(record, (block / 4) % VSTCLASS::kParamCount,
                             static_cast<float>(block % 97) / 96.0f);
      record->processReplacing(record, inputs, outputs, kFrames);
      for (int i = 0; i < kFrames; ++i)
        if (!std::isfinite(left[i]) || !std::isfinite(right[i])) ++badSamples;
    }
    audioDone = true;
  });

  VstEventList list{MakeMidi(0, 0x90, 60, 100), MakeMidi(16, 0x80, 60, 0)};
  const quorvane::MouseMods left{true, false, false, false, false};

  int rounds = 0;
  while (!audioDone) {
    const int32_t index = rounds % VSTCLASS::kParamCount;
    record->setParameter(record, index, static_cast<float>(rounds % 11) / 10.0f);
    (void)record->getParameter(record, index);
    if (rounds % 7 == 0)
      record->dispatcher(record, effSetProgram, 0, rounds % VSTCLASS::kPresetCount, nullptr, 0.0f);
    if (rounds % 5 == 0) {
      const bool bank = rounds % 10 == 0;
      void* data = nullptr;
      const intptr_t size = record->dispatcher(record, effGetChunk, bank ? 0 : 1, 0, &data, 0.0f);
      if (size > 0 && data != nullptr) {
        std::vector<char> copy(static_cast<const char*>(data),
                               static_cast<const char*>(data) + size);
        record->dispatcher(record, effSetChunk, bank ? 0 : 1, size, copy.data(), 0.0f);
      }
    }
    if (rounds % 3 == 0) record->dispatcher(record, effProcessEvents, 0, 0, list.Get(), 0.0f);
    // A drag on a knob, a click on the drop-down, the switches and the wheel.
    const int x = 40 * (1 + rounds % 8) + 10;
    surface.SurfaceMouseDown(x, 130, left);
    surface.SurfaceDrag(x, 130 - rounds % 9, left);
    surface.SurfaceMouseUp(x, 120, left);
    if (rounds % 13 == 0) {
      surface.SurfaceMouseDown(110, 45, left);
      surface.SurfaceMouseUp(110, 45, left);
    }
    if (rounds % 17 == 0) {
      surface.SurfaceMouseDown(405, 45, left);
      surface.SurfaceMouseUp(405, 45, left);
    }
    surface.SurfaceWheel(x, 130, quorvane::MouseMods{}, rounds % 2 ? 1 : -1);
    surface.Tick();
    ++rounds;
  }
  audio.join();

  EXPECT_EQ(badSamples.load(), 0);
  EXPECT_GT(rounds, 0);
  record->dispatcher(record, effMainsChanged, 0, 0, nullptr, 0.0f);
  record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
}

} // namespace
} // namespace quorvane
