#ifndef QUORVANE_EFFECT_EDITOR_IMAGES_H
#define QUORVANE_EFFECT_EDITOR_IMAGES_H
// The editor's nine images: name, resource id, file in img/ and the number
// of frames in its strip. The resource script (img/Quorvane.rc) expands this
// table and the image generator (tools/images) parses it, so it holds
// preprocessor lines only, one image to a line.

#define QUORVANE_EDITOR_IMAGES(IMAGE)          \
  IMAGE(Background, 100, "bg.png", 1)          \
  IMAGE(Knob, 101, "knob.png", 2)              \
  IMAGE(FilterType, 102, "flt_tp.png", 3)      \
  IMAGE(Target, 103, "mod_tg.png", 4)          \
  IMAGE(TargetList, 104, "mod_tg_.png", 4)     \
  IMAGE(Direction, 105, "adsr_tp.png", 1)      \
  IMAGE(SliderHandle, 106, "slider.png", 1)    \
  IMAGE(Compensation, 107, "comp.png", 3)      \
  IMAGE(Reset, 108, "reset.png", 1)

#endif
