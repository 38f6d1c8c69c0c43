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
#include "editor/IEditorSurface.h"
#include "effect/EditorGeometry.h"
#include "effect/EditorImages.h"
#include "effect/VSTCLASS.h"
#include "framework/IEffectBase.h"

#include <cstring>
#include <memory>

namespace quorvane {

namespace {

using namespace editor_geometry;

enum class EditorImage {
#define QUORVANE_IMAGE_NAME(name, id, file, frames) name,
  QUORVANE_EDITOR_IMAGES(QUORVANE_IMAGE_NAME)
#undef QUORVANE_IMAGE_NAME
};

struct ImageEntry {
  std::int32_t resourceId;
  const char* name;
  std::int32_t frames;
};

// Indexed by EditorImage.
constexpr ImageEntry kImages[] = {
#define QUORVANE_IMAGE_ENTRY(name, id, file, frames) {id, "img/" file, frames},
    QUORVANE_EDITOR_IMAGES(QUORVANE_IMAGE_ENTRY)
#undef QUORVANE_IMAGE_ENTRY
};

const ImageEntry& Image(EditorImage image) {
  return kImages[static_cast<int>(image)];
}

BitmapRef Load(IEditorSurface& editor, EditorImage image) {
  const ImageEntry& entry = Image(image);
  return editor.LoadEditorBitmap(entry.resourceId, entry.name, entry.frames);
}

constexpr std::int32_t kTextGap = 6;
constexpr std::int32_t kKnobSweep = 300;
constexpr double kKnobDragScale = 4.0;
constexpr std::int32_t kVerticalDrag = 0;
constexpr std::int32_t kHorizontal = 1;
constexpr std::int32_t kWideKnob = 60;

TextStyle ValueTextStyle() {
  TextStyle style;
  std::strcpy(style.fontName, "Arial");
  style.size = 14;
  style.color = Color{200, 255, 255, 255};
  return style;
}

} // namespace

void BuildQuorvaneEditor(IEffectBase& effect, EditorWindowFactory makeWindow,
                         const GraphReadout& envelope) {
  IEffectBase* plug = &effect;
  std::unique_ptr<IEditorSurface> window =
      makeWindow(effect, kEditorSize.x, kEditorSize.y);
  if (!window) return;
  IEditorSurface& editor = *window;

  const ImageEntry& background = Image(EditorImage::Background);
  editor.AddBackground(background.resourceId, background.name);
  editor.AddControl(std::make_unique<ILinkControl>(plug, kLink, EditorLayout::kMakerPluginsUrl,
                                                   EditorLayout::kMakerHomeUrl, nullptr));

  const TextStyle text = ValueTextStyle();
  const BitmapRef knob = Load(editor, EditorImage::Knob);
  auto addKnob = [&](std::int32_t param, Point pivot, std::int32_t width) {
    editor.AddControl(std::make_unique<IKnobRotVal>(plug, param, pivot.x, pivot.y, knob, text,
                                                    kTextGap, kKnobSweep, kKnobDragScale, width,
                                                    kVerticalDrag));
  };

  editor.AddControl(std::make_unique<IRadioButtons>(
      plug, VSTCLASS::kParamFilterType, kFilterTypeButtons.x, kFilterTypeButtons.y,
      Load(editor, EditorImage::FilterType), true, kHorizontal, 0, 0, 0));

  addKnob(VSTCLASS::kParamFilterFreq, kFilterFreqKnob, kWideKnob);
  addKnob(VSTCLASS::kParamFilterBandwidth, kFilterBandwidthKnob, 0);
  addKnob(VSTCLASS::kParamFilterMix, kFilterMixKnob, 0);

  editor.AddControl(std::make_unique<IButtonHold>(plug, VSTCLASS::kParamEnvReset,
                                                  kEnvResetButton.x, kEnvResetButton.y,
                                                  Load(editor, EditorImage::Reset)));

  const BitmapRef targetList = Load(editor, EditorImage::TargetList);
  const BitmapRef target = Load(editor, EditorImage::Target);
  editor.AddControl(std::make_unique<IDropDown>(plug, VSTCLASS::kParamEnvTarget, kEnvTargetMenu.x,
                                                kEnvTargetMenu.y, target, targetList));

  addKnob(VSTCLASS::kParamEnvAttack, kEnvAttackKnob, 0);
  addKnob(VSTCLASS::kParamEnvDecay, kEnvDecayKnob, 0);
  addKnob(VSTCLASS::kParamEnvSustain, kEnvSustainKnob, 0);
  addKnob(VSTCLASS::kParamEnvRelease, kEnvReleaseKnob, 0);
  addKnob(VSTCLASS::kParamEnvDepth, kEnvDepthKnob, 0);

  editor.AddControl(std::make_unique<IButton>(plug, VSTCLASS::kParamEnvDirection,
                                              kEnvDirectionButton.x, kEnvDirectionButton.y,
                                              Load(editor, EditorImage::Direction)));

  const Rect& slider = kEnvVolCompensationSlider;
  editor.AddControl(std::make_unique<ISlider>(
      plug, VSTCLASS::kParamEnvVolCompensation, slider, Load(editor, EditorImage::SliderHandle),
      text, Color{255, 120, 120, 120}, slider.right - slider.left, 6, kHorizontal));

  auto compensationSwitch = std::make_unique<ISwitchControl>(
      plug, kEnvCompensationSwitch.x, kEnvCompensationSwitch.y, VSTCLASS::kParamEnvCompensation,
      Load(editor, EditorImage::Compensation), true);
  compensationSwitch->SetBlend(Blend{Blend::kThroughAlpha, 1.0f});
  editor.AddControl(std::move(compensationSwitch));

  auto graph = std::make_unique<GRAPH>(plug, kEnvelopeStrip.left, kEnvelopeStrip.top,
                                       kEnvelopeStrip.right, kEnvelopeStrip.bottom);
  graph->Follow(&envelope);
  editor.AddControl(std::move(graph));

  effect.AttachEditor(std::move(window));
}

} // namespace quorvane
