#include "effect/EditorLayout.h"

#include "editor/GRAPH.h"
#include "editor/IButton.h"
#include "editor/IButtonHold.h"
#include "editor/IDropDown.h"
#include "editor/IKnobRotVal.h"
#include "editor/ILinkControl.h"
#include "editor/IRadioButtons.h"
#include "editor/ISlider.h"
#include "editor/ISwitchControl.h"
#include "editor_win32/IEditorWindow.h"
#include "framework/IEffectBase.h"

#include <cstring>
#include <memory>

namespace quorvane {

namespace {

// Parameter indices of the controls.
enum : std::int32_t {
  kFilterType = 0,
  kFilterFreq = 1,
  kFilterBandwidth = 2,
  kFilterMix = 3,
  kEnvTarget = 4,
  kEnvAttack = 5,
  kEnvDecay = 6,
  kEnvSustain = 7,
  kEnvRelease = 8,
  kEnvDepth = 9,
  kEnvDirection = 10,
  kEnvVolCompensation = 11,
  kEnvCompensation = 12,
  kEnvReset = 13,
};

// Image resources.
enum : std::int32_t {
  kImageBackground = 100,
  kImageKnob = 101,
  kImageFilterType = 102,
  kImageTarget = 103,
  kImageTargetList = 104,
  kImageDirection = 105,
  kImageSliderHandle = 106,
  kImageCompensation = 107,
  kImageReset = 108,
};

constexpr std::int32_t kTextGap = 6;
constexpr std::int32_t kKnobSweep = 300;
constexpr double kKnobDragScale = 4.0;
constexpr std::int32_t kVerticalDrag = 0;
constexpr std::int32_t kHorizontal = 1;
constexpr std::int32_t kKnobCentreY = 174;
constexpr std::int32_t kWideKnob = 60;

TextStyle ValueTextStyle() {
  TextStyle style;
  std::strcpy(style.fontName, "Arial");
  style.size = 14;
  style.color = Color{200, 255, 255, 255};
  return style;
}

} // namespace

GRAPH* BuildQuorvaneEditor(IEffectBase& effect) {
  IEffectBase* plug = &effect;
  auto window =
      std::make_unique<IEditorWindow>(plug, EditorLayout::kWidth, EditorLayout::kHeight, 0);
  window->SetModuleInstance(IEditorWindow::ModuleOfThisCode());
  IEditorWindow& editor = *window;

  editor.AddBackground(kImageBackground, "img/bg.png");
  editor.AddControl(std::make_unique<ILinkControl>(plug, Rect{114, 7, 306, 54},
                                                   EditorLayout::kMakerPluginsUrl,
                                                   EditorLayout::kMakerHomeUrl, nullptr));

  const TextStyle text = ValueTextStyle();
  const BitmapRef knob = editor.LoadEditorBitmap(kImageKnob, "img/knob.png", 2);
  auto addKnob = [&](std::int32_t param, int x, std::int32_t width) {
    editor.AddControl(std::make_unique<IKnobRotVal>(plug, param, x, kKnobCentreY, knob, text,
                                                    kTextGap, kKnobSweep, kKnobDragScale, width,
                                                    kVerticalDrag));
  };

  const BitmapRef filterType = editor.LoadEditorBitmap(kImageFilterType, "img/flt_tp.png", 3);
  editor.AddControl(std::make_unique<IRadioButtons>(plug, kFilterType, 100, 112, filterType, true,
                                                    kHorizontal, 0, 0, 0));

  addKnob(kFilterFreq, 52, kWideKnob);
  addKnob(kFilterBandwidth, 108, 0);
  addKnob(kFilterMix, 164, 0);

  const BitmapRef reset = editor.LoadEditorBitmap(kImageReset, "img/reset.png", 1);
  editor.AddControl(std::make_unique<IButtonHold>(plug, kEnvReset, 204, 87, reset));

  const BitmapRef targetList = editor.LoadEditorBitmap(kImageTargetList, "img/mod_tg_.png", 4);
  const BitmapRef target = editor.LoadEditorBitmap(kImageTarget, "img/mod_tg.png", 4);
  editor.AddControl(std::make_unique<IDropDown>(plug, kEnvTarget, 271, 113, target, targetList));

  addKnob(kEnvAttack, 231, 0);
  addKnob(kEnvDecay, 287, 0);
  addKnob(kEnvSustain, 343, 0);
  addKnob(kEnvRelease, 399, 0);
  addKnob(kEnvDepth, 455, 0);

  const BitmapRef direction = editor.LoadEditorBitmap(kImageDirection, "img/adsr_tp.png", 1);
  editor.AddControl(std::make_unique<IButton>(plug, kEnvDirection, 318, 112, direction));

  const BitmapRef handle = editor.LoadEditorBitmap(kImageSliderHandle, "img/slider.png", 1);
  editor.AddControl(std::make_unique<ISlider>(plug, kEnvVolCompensation, Rect{373, 107, 443, 135},
                                              handle, text, Color{255, 120, 120, 120}, 70, 6,
                                              kHorizontal));

  const BitmapRef compensation = editor.LoadEditorBitmap(kImageCompensation, "img/comp.png", 3);
  auto compensationSwitch =
      std::make_unique<ISwitchControl>(plug, 447, 109, kEnvCompensation, compensation, true);
  compensationSwitch->SetBlend(Blend{Blend::kThroughAlpha, 1.0f});
  editor.AddControl(std::move(compensationSwitch));

  auto graph = std::make_unique<GRAPH>(plug, 209, 213, 477, 215);
  GRAPH* strip = graph.get();
  editor.AddControl(std::move(graph));

  effect.AttachEditor(std::move(window));
  return strip;
}

} // namespace quorvane
