#include "editor_x11/X11ScreenshotHost.h"

#include "framework/vst2/Vst2Interface.h"
#include "raster/PngFileWriter.h"

#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>
#include <vector>

namespace quorvane {

namespace {

// The pixels of a window on a 24-bit screen with 32-bit pixels, as words.
bool ReadWindow(xcb_connection_t* connection, xcb_window_t window, int width, int height,
                std::vector<std::uint32_t>& pixels) {
  xcb_get_image_reply_t* image =
      xcb_get_image_reply(connection,
                          xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                        std::uint16_t(width), std::uint16_t(height), ~0u),
                          nullptr);
  if (image == nullptr) return false;
  const std::size_t count = std::size_t(width) * std::size_t(height);
  const bool usable = xcb_get_image_data_length(image) >= int(count * 4);
  if (usable) {
    const std::uint8_t* data = xcb_get_image_data(image);
    pixels.resize(count);
    for (std::size_t i = 0; i < count; ++i)
      pixels[i] = 0xFF000000u | std::uint32_t(data[4 * i + 2]) << 16 |
                  std::uint32_t(data[4 * i + 1]) << 8 | data[4 * i];
  }
  std::free(image);
  return usable;
}

} // namespace

bool SaveEditorScreenshot(AEffect* effect, const char* pngPath, int waitMs) {
  ERect* rect = nullptr;
  if (effect == nullptr || pngPath == nullptr ||
      effect->dispatcher(effect, effEditGetRect, 0, 0, &rect, 0.0f) == 0 || rect == nullptr)
    return false;
  const int width = rect->right - rect->left;
  const int height = rect->bottom - rect->top;
  if (width <= 0 || height <= 0) return false;

  int screenNumber = 0;
  xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(connection)) {
    xcb_disconnect(connection);
    return false;
  }
  auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (; screens.rem > 1 && screenNumber > 0; --screenNumber)
    xcb_screen_next(&screens);
  const xcb_screen_t* screen = screens.data;
  const xcb_window_t frame = xcb_generate_id(connection);
  // Placed by us, not by a window manager, so that nothing covers it.
  const std::uint32_t values[] = {screen->black_pixel, 1};
  xcb_create_window(connection, XCB_COPY_FROM_PARENT, frame, screen->root, 0, 0,
                    std::uint16_t(width), std::uint16_t(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                    screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
  xcb_map_window(connection, frame);
  std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));

  std::vector<std::uint32_t> pixels;
  bool captured = false;
  if (effect->dispatcher(effect, effEditOpen, 0, 0, reinterpret_cast<void*>(std::uintptr_t(frame)),
                         0.0f) != 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
    captured = ReadWindow(connection, frame, width, height, pixels);
    effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
  }
  xcb_destroy_window(connection, frame);
  xcb_flush(connection);
  xcb_disconnect(connection);
  return captured && WritePngFile(pngPath, pixels.data(), width, height, width);
}

} // namespace quorvane
