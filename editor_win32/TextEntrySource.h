#pragma once
// What a control that carries its own text offers the editor window's text
// entry: its text, how it looks, and whether it may be changed or must be
// hidden. A control implements it alongside IControl; the window finds it
// with dynamic_cast. No control of this editor carries text, so the entry
// stays unused here. Called on the editor window's thread.

#include "raster/TextStyle.h"

namespace quorvane {

class TextEntrySource {
public:
  virtual ~TextEntrySource() = default;
  // The current text; null counts as empty.
  virtual const char* EntryText() const = 0;
  virtual const TextStyle& EntryStyle() const = 0;
  virtual bool EntryEditable() const = 0;
  virtual bool EntrySecret() const = 0;
  // A committed entry; only called when EntryEditable() is true.
  virtual void AcceptEntryText(const char* text) = 0;
};

} // namespace quorvane
