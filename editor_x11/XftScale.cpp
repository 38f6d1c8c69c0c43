#include "editor_x11/XftScale.h"

#include "editor_x11/QuietPipe.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <sstream>

namespace quorvane {

namespace {

constexpr double kStandardDpi = 96.0;
// The whole database is rarely more than a few hundred bytes.
constexpr std::uint32_t kResourceWords = 1 << 14;

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

double XftDpiOf(const std::string& resources) {
  std::istringstream lines(resources);
  std::string line;
  double dpi = 0.0;
  // A later line overrides an earlier one, as in the resource manager.
  while (std::getline(lines, line)) {
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos || Trimmed(line.substr(0, colon)) != "Xft.dpi") continue;
    const std::string value = Trimmed(line.substr(colon + 1));
    char* end = nullptr;
    const double parsed = std::strtod(value.c_str(), &end);
    dpi = end != value.c_str() && *end == '\0' && parsed > 0.0 ? parsed : 0.0;
  }
  return dpi;
}

double XftScaleFactor() {
  const QuietPipe quiet;
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  double factor = 0.0;
  // A failed connection has no setup to read.
  const xcb_screen_iterator_t screens = xcb_connection_has_error(connection)
                                            ? xcb_screen_iterator_t{}
                                            : xcb_setup_roots_iterator(xcb_get_setup(connection));
  if (screens.rem > 0) {
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, screens.data->root, XCB_ATOM_RESOURCE_MANAGER,
                         XCB_ATOM_STRING, 0, kResourceWords),
        nullptr);
    if (reply != nullptr) {
      const auto* text = static_cast<const char*>(xcb_get_property_value(reply));
      const int length = xcb_get_property_value_length(reply);
      factor = XftDpiOf(std::string(text, length > 0 ? std::size_t(length) : 0)) / kStandardDpi;
      std::free(reply);
    }
  }
  xcb_disconnect(connection);
  return factor;
}

} // namespace quorvane
