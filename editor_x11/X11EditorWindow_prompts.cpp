// The parameter prompts: a pop-up list of a parameter's value names and an
// inline text entry, both drawn with the raster library; the same list
// serves as the background's menu. Each is settled by the next frame tick
// after Enter, a pick, Escape or a click elsewhere.

#include "editor_x11/X11EditorWindow.h"

#include "editor/IControl.h"
#include "editor/PromptGeometry.h"
#include "framework/IParameter.h"
#include "raster/FillRectangle.h"
#include "raster/Utf8Decode.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace quorvane {

namespace {

constexpr int kValueTextSize = 64;
constexpr std::uint32_t kEntryPaper = 0xFFFFFFFF;
constexpr std::uint32_t kEntryInk = 0xFF000000;
constexpr std::uint32_t kEntryFrame = 0xFF404040;
constexpr std::uint32_t kSelectionPaper = 0xFF3366CC;
constexpr std::uint32_t kSelectionInk = 0xFFFFFFFF;
constexpr std::uint32_t kListPaper = 0xFFF0F0F0;
constexpr int kTextPadding = 2;
constexpr std::uint8_t kLastClickButton = 3; // left, middle, right; not the wheel

void FillBox(RasterBitmap* bitmap, const Rect& r, std::uint32_t colour) {
  FillRectangle(bitmap, r.left, r.top, r.right - r.left, r.bottom - r.top, colour, 1.0f,
                kBlendCopy);
}

void FrameBox(RasterBitmap* bitmap, const Rect& r, std::uint32_t frame, std::uint32_t inside) {
  FillBox(bitmap, r, frame);
  FillBox(bitmap, Rect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, inside);
}

int TextWidth(GlyphFont* font, const char* text, std::size_t length) {
  Rect r{0, 0, 0, 0};
  font->RenderTextInRect(nullptr, text, int(length), &r,
                         GlyphFont::kMeasureOnly | GlyphFont::kSingleLine);
  return r.right - r.left;
}

// One line of text with its pen starting at (x, y), clipped to clip: a line
// scrolled to the left starts outside the box it shows in.
void DrawLine(GlyphFont* font, RasterBitmap* dest, const std::string& text, std::uint32_t ink,
              int x, int y, const Rect& clip) {
  font->SetInkColour(ink);
  font->SetPaperMode(GlyphFont::kPaperTransparent);
  font->SetBlendMode(kBlendCopy, 1.0f);
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Char c = Utf8Decode(text.c_str() + i, int(text.size() - i));
    i += std::size_t(c.length);
    const GlyphRecord* glyph = font->Glyph(c.code);
    if (glyph == nullptr) continue;
    font->PaintGlyph(dest, c.code, x, y, clip);
    x += glyph->advance;
  }
}

} // namespace

//============================================================================
// Opening

void X11EditorWindow::PromptParamInput(IControl* control, IParameter* param) {
  if (control == nullptr || param == nullptr || entryKind != EntryKind::Closed || !IsWindowOpen())
    return;
  char current[kValueTextSize];
  param->FormatValue(param->Value(), false, current, sizeof(current));
  const int names = param->ValueNameCount();
  if (names > 0 && (param->Kind() == ParamKind::Toggle || param->Kind() == ParamKind::Choice)) {
    std::vector<std::string> list;
    int longest = 0;
    int selected = -1;
    for (int key = 0; key < names; ++key) {
      list.emplace_back(param->ValueNameFor(key));
      longest = std::max(longest, int(list.back().size()));
      if (list.back() == current) selected = key;
    }
    const EntryBox box = ValueListBox(control->DrawRect(), names, longest);
    OpenPopup(EntryKind::List, control, param,
              ToPixels(Rect{box.x, box.y, box.x + box.width, box.y}), std::move(list), selected);
    return;
  }
  char largest[kValueTextSize];
  param->FormatValue(1.0, true, largest, sizeof(largest));
  const EntryBox box = ValueEditBox(control->DrawRect(), int(std::strlen(largest)));
  OpenEntryCommon(control, param,
                  ToPixels(Rect{box.x, box.y, box.x + box.width, box.y + box.height}), current);
}

std::int32_t X11EditorWindow::ChooseFromMenu(const char* const* items, std::int32_t count, int x,
                                             int y) {
  GlyphFont* font = FontFor(entryStyle);
  if (items == nullptr || count <= 0 || font == nullptr || entryKind != EntryKind::Closed ||
      !IsWindowOpen())
    return kNone;
  std::vector<std::string> names;
  int widest = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    names.emplace_back(items[i] != nullptr ? items[i] : "");
    widest = std::max(widest, TextWidth(font, names.back().c_str(), names.back().size()));
  }
  // A row's text starts two paddings inside the frame; as much room on its right.
  const int listWidth = widest + 2 * (1 + 2 * kTextPadding);
  OpenPopup(EntryKind::Menu, nullptr, nullptr, Rect{x, y, x + listWidth, y}, std::move(names), -1);
  return kNone;
}

void X11EditorWindow::OpenControlTextEntry(IControl*) {
  // No control of this editor carries its own text.
}

void X11EditorWindow::OpenTextEntry(IControl* control, const TextStyle&, const Rect& rect,
                                    const char* text, bool, bool editable) {
  // Nothing in this editor opens a free entry; one without a parameter
  // changes nothing when committed.
  if (control == nullptr || !editable || entryKind != EntryKind::Closed || !IsWindowOpen()) return;
  const EntryBox box = FreeTextBox(rect);
  OpenEntryCommon(control, nullptr,
                  ToPixels(Rect{box.x, box.y, box.x + box.width, box.y + box.height}), text);
}

void X11EditorWindow::OpenEntryCommon(IControl* control, IParameter* param, const Rect& box,
                                      const char* text) {
  entryKind = EntryKind::Edit;
  entryState = EntryState::Idle;
  entryControl = control;
  entryParam = param;
  entryBox = box;
  entryText.Reset(text);
  TakeFocus();
  DrawEntry();
}

void X11EditorWindow::OpenPopup(EntryKind kind, IControl* control, IParameter* param,
                                const Rect& box, std::vector<std::string> names, int selected) {
  GlyphFont* font = FontFor(entryStyle);
  if (font == nullptr || names.empty()) return;
  // The list hangs from the control's centre, in screen coordinates, over
  // whatever lies there: a window of its own outside the host's.
  xcb_translate_coordinates_reply_t* origin = xcb_translate_coordinates_reply(
      connection,
      xcb_translate_coordinates(connection, window, rootWindow, std::int16_t(box.left),
                                std::int16_t(box.top)),
      nullptr);
  if (origin == nullptr) return;
  int x = origin->dst_x;
  int y = origin->dst_y;
  std::free(origin);
  popup.names = std::move(names);
  popup.selected = selected;
  popup.width = box.right - box.left;
  popup.rowHeight = DisplayScale::ToPixels(kListRowHeight, Scale());
  const int listHeight = popup.rowHeight * int(popup.names.size()) + 2;
  // Rows below the screen's edge could not be picked: the list moves up or
  // left to stay on the screen.
  if (xcb_get_geometry_reply_t* screen =
          xcb_get_geometry_reply(connection, xcb_get_geometry(connection, rootWindow), nullptr)) {
    x = std::max(0, std::min(x, int(screen->width) - popup.width));
    y = std::max(0, std::min(y, int(screen->height) - listHeight));
    std::free(screen);
  }
  popup.pixels.Resize(popup.width, listHeight);
  if (popup.pixels.Pixels() == nullptr) return;

  popup.window = xcb_generate_id(connection);
  const std::uint32_t values[] = {XCB_BACK_PIXMAP_NONE, 0, 1,
                                  XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                                      XCB_EVENT_MASK_BUTTON_RELEASE |
                                      XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_KEY_PRESS};
  xcb_create_window(connection, depth, popup.window, rootWindow, std::int16_t(x), std::int16_t(y),
                    std::uint16_t(popup.width), std::uint16_t(listHeight), 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                    XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_OVERRIDE_REDIRECT |
                        XCB_CW_EVENT_MASK,
                    values);
  xcb_map_window(connection, popup.window);
  // A click anywhere and every key come to the list while it is open, so
  // that a click outside or Escape can close it.
  ReleasePointer(XCB_CURRENT_TIME);
  xcb_discard_reply(connection,
                    xcb_grab_pointer(connection, 0, popup.window,
                                     XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                                         XCB_EVENT_MASK_POINTER_MOTION,
                                     XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE,
                                     XCB_CURRENT_TIME)
                        .sequence);
  xcb_discard_reply(connection, xcb_grab_keyboard(connection, 0, popup.window, XCB_CURRENT_TIME,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)
                                    .sequence);
  entryKind = kind;
  entryState = EntryState::Idle;
  entryControl = control;
  entryParam = param;
  entryBox = Rect{};
  entryText.Reset(selected >= 0 ? popup.names[std::size_t(selected)].c_str() : "");
  DrawPopup();
}

//============================================================================
// Drawing

bool X11EditorWindow::InsideEntry(int x, int y) const {
  return x >= entryBox.left && x < entryBox.right && y >= entryBox.top && y < entryBox.bottom;
}

int X11EditorWindow::EntryTextStart(GlyphFont* font) {
  // Centred like the Windows entry; a text wider than the box scrolls so
  // that the caret stays in view.
  const std::string& text = entryText.Text();
  const int textWidth = TextWidth(font, text.c_str(), text.size());
  const int room = entryBox.right - entryBox.left - 2 - 2 * kTextPadding;
  const int left = entryBox.left + 1 + kTextPadding;
  if (textWidth <= room) return left + (room - textWidth) / 2;
  return left - std::max(0, TextWidth(font, text.c_str(), entryText.Caret()) - room);
}

void X11EditorWindow::DrawEntry() {
  RasterBitmap* back = BackBuffer();
  GlyphFont* font = FontFor(entryStyle);
  if (back == nullptr || font == nullptr) return;
  FrameBox(back, entryBox, kEntryFrame, kEntryPaper);
  const Rect inner{entryBox.left + 1, entryBox.top + 1, entryBox.right - 1, entryBox.bottom - 1};
  const std::string& text = entryText.Text();
  const int start = EntryTextStart(font);
  const int caretX = TextWidth(font, text.c_str(), entryText.Caret());
  const int top = inner.top + (inner.bottom - inner.top - font->LineHeight()) / 2;

  DrawLine(font, back, text, kEntryInk, start, top, inner);
  if (entryText.HasSelection()) {
    const int from = start + TextWidth(font, text.c_str(), entryText.SelectionStart());
    const int to = start + TextWidth(font, text.c_str(), entryText.SelectionEnd());
    const Rect band{std::max(from, inner.left), inner.top, std::min(to, inner.right), inner.bottom};
    if (band.left < band.right) {
      FillBox(back, band, kSelectionPaper);
      DrawLine(font, back, text, kSelectionInk, start, top, band);
    }
  } else {
    const int x = start + caretX;
    if (x >= inner.left && x < inner.right)
      FillBox(back, Rect{x, top, x + 1, top + font->LineHeight()}, kEntryInk);
  }
  BlitToWindow(entryBox);
}

void X11EditorWindow::DrawPopup() {
  GlyphFont* font = FontFor(entryStyle);
  if (font == nullptr || popup.window == 0) return;
  RasterBitmap* pixels = &popup.pixels;
  const Rect all{0, 0, pixels->Width(), pixels->Height()};
  FrameBox(pixels, all, kEntryFrame, kListPaper);
  for (std::size_t i = 0; i < popup.names.size(); ++i) {
    const Rect row{1, 1 + int(i) * popup.rowHeight, all.right - 1,
                   1 + int(i + 1) * popup.rowHeight};
    const bool chosen = int(i) == popup.selected;
    if (chosen) FillBox(pixels, row, kSelectionPaper);
    const int top = row.top + (popup.rowHeight - font->LineHeight()) / 2;
    DrawLine(font, pixels, popup.names[i], chosen ? kSelectionInk : kEntryInk,
             row.left + 2 * kTextPadding, top, row);
  }
  PutImage(popup.window, *pixels, all);
}

std::size_t X11EditorWindow::EntryOffsetAt(int x) {
  GlyphFont* font = FontFor(entryStyle);
  const std::string& text = entryText.Text();
  if (font == nullptr) return text.size();
  const int start = EntryTextStart(font);
  std::size_t best = 0;
  int bestDistance = std::abs(x - start);
  for (std::size_t i = 1; i <= text.size(); ++i) {
    if (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    const int distance = std::abs(x - (start + TextWidth(font, text.c_str(), i)));
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

//============================================================================
// The list's own events

void X11EditorWindow::HandlePopupEvent(const xcb_generic_event_t* event) {
  if (!PopupOpen() || entryState == EntryState::Commit || entryState == EntryState::Cancel) return;
  const std::uint8_t type = event->response_type & 0x7F;
  if (type == XCB_EXPOSE) {
    DrawPopup();
    return;
  }
  if (type == XCB_KEY_PRESS) {
    const auto& key = *reinterpret_cast<const xcb_key_press_event_t*>(event);
    const EntryKey pressed = EntryKeyForSymbol(keyboard.Symbol(key.detail, false)).key;
    if (pressed == EntryKey::Escape) entryState = EntryState::Cancel;
    if (pressed == EntryKey::Enter)
      entryState = popup.selected >= 0 ? EntryState::Commit : EntryState::Cancel;
  } else {
    const auto& pointer = *reinterpret_cast<const xcb_button_press_event_t*>(event);
    const int x = pointer.event_x, y = pointer.event_y - 1;
    const bool inside =
        x >= 0 && x < popup.width && y >= 0 && y < popup.rowHeight * int(popup.names.size());
    const int row = inside ? y / popup.rowHeight : -1;
    if (type == XCB_MOTION_NOTIFY) {
      if (inside && row != popup.selected) {
        popup.selected = row;
        DrawPopup();
      }
      return;
    }
    if (type != XCB_BUTTON_PRESS || pointer.detail > kLastClickButton) return;
    if (inside) {
      popup.selected = row;
      entryText.Reset(popup.names[std::size_t(row)].c_str());
      entryState = EntryState::Commit;
    } else {
      entryState = EntryState::Cancel;
    }
  }
  if (entryState == EntryState::Commit && popup.selected >= 0)
    entryText.Reset(popup.names[std::size_t(popup.selected)].c_str());
  // Settled: the list goes at once, the value at the next tick.
  xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
  xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
  xcb_unmap_window(connection, popup.window);
}

//============================================================================
// Closing

void X11EditorWindow::FinishEntry() {
  IControl* control = entryControl;
  const bool commit = entryState == EntryState::Commit;
  const bool menu = entryKind == EntryKind::Menu;
  if (commit && entryParam != nullptr)
    ApplyPromptText(control, entryParam, entryText.Text().c_str());
  CloseEntry(true);
  if (control != nullptr) control->FinishUserEdit();
  // After closing: the pick may resize the window the list was placed by.
  if (commit && menu) MenuPicked(popup.selected);
}

void X11EditorWindow::CloseEntry(bool repaint) {
  const EntryKind closing = entryKind;
  entryKind = EntryKind::Closed;
  entryState = EntryState::Idle;
  entryControl = nullptr;
  entryParam = nullptr;
  swallowRelease = false;
  if (connection == nullptr) {
    popup.window = 0;
    return;
  }
  // The list is a window of its own: it goes even when ours is gone.
  if ((closing == EntryKind::List || closing == EntryKind::Menu) && popup.window != 0) {
    xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
    xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
    xcb_destroy_window(connection, popup.window);
    popup.window = 0;
  }
  if (closing != EntryKind::Edit) return;
  if (windowGone) {
    focusTaken = false;
    return;
  }
  ReturnFocus();
  // The controls under the entry show again.
  if (repaint) PaintPixels(entryBox);
}

void X11EditorWindow::TakeFocus() {
  // The keyboard is the host's except while the entry is open.
  xcb_get_input_focus_reply_t* focus =
      xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr);
  savedFocus = focus != nullptr ? focus->focus : xcb_window_t(XCB_INPUT_FOCUS_POINTER_ROOT);
  std::free(focus);
  const std::uint32_t events[] = {kWindowEventMask | XCB_EVENT_MASK_KEY_PRESS};
  xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, events);
  xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
  focusTaken = true;
}

void X11EditorWindow::ReturnFocus() {
  if (!focusTaken) return;
  focusTaken = false;
  const std::uint32_t events[] = {kWindowEventMask};
  xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, events);
  // A window given back that no longer exists makes an error on our own
  // connection only.
  xcb_set_input_focus(connection, XCB_INPUT_FOCUS_POINTER_ROOT, savedFocus, XCB_CURRENT_TIME);
}

} // namespace quorvane
