// The Linux plug-in's editor cost, in a real X window as a host opens it: the
// editor's thread's CPU time per second while its timer ticks with nothing
// changing and with the envelope strip moving (audio on a thread of its own,
// in real time), what one exposure of the whole panel costs it, and the X
// server's CPU time meanwhile, which the editor's pictures cause. A bare
// thread that only wakes at the same rate shows what the waking alone costs.
// Plain timings, printed as a few lines; needs an X server (Xvfb will do).

#include "BenchedPlugin.h"
#include "MovingEnvelope.h"

#include <dirent.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <thread>

namespace {

constexpr double kRate = 48000.0;
constexpr int kBlock = 512;
constexpr double kIdleSeconds = 8.0;
constexpr int kFramesPerSecond = 24;
constexpr int kExposures = 100;
// Long enough for the editor to paint an exposure before the next.
constexpr auto kExposurePause = std::chrono::milliseconds(30);

std::set<int> ThreadIds() {
  std::set<int> ids;
  if (DIR* tasks = opendir("/proc/self/task")) {
    while (const dirent* entry = readdir(tasks))
      if (entry->d_name[0] != '.') ids.insert(std::atoi(entry->d_name));
    closedir(tasks);
  }
  return ids;
}

// The CPU time of one of this process's threads, in seconds (the scheduler's
// own count, in nanoseconds).
double ThreadCpuSeconds(int tid) {
  std::ifstream stat("/proc/self/task/" + std::to_string(tid) + "/schedstat");
  double nanoseconds = 0.0;
  stat >> nanoseconds;
  return nanoseconds * 1e-9;
}

// A whole process's CPU time (user and system, every thread), in seconds;
// 0 when it cannot be read.
double ProcessCpuSeconds(int pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  // Fields after the command's closing parenthesis; utime and stime are the
  // 12th and 13th of them.
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) return 0.0;
  const char* field = text.c_str() + close + 2;
  unsigned long long values[13] = {};
  for (int i = 0; i < 13 && *field != '\0'; ++i) {
    if (i >= 11) values[i] = std::strtoull(field, nullptr, 10);
    while (*field != '\0' && *field != ' ')
      ++field;
    while (*field == ' ')
      ++field;
  }
  return static_cast<double>(values[11] + values[12]) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The process at the other end of the X connection (a local server), or 0.
int ServerProcess(xcb_connection_t* connection) {
  ucred peer{};
  socklen_t size = sizeof peer;
  if (getsockopt(xcb_get_file_descriptor(connection), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0)
    return 0;
  return peer.pid;
}

struct Cost {
  double editorMs; // the editor's threads' CPU per second
  double serverMs; // the X server's
};

struct Meter {
  std::set<int> editorThreads;
  int server = 0;

  double EditorSeconds() const {
    double sum = 0.0;
    for (int tid : editorThreads)
      sum += ThreadCpuSeconds(tid);
    return sum;
  }

  Cost Measure(double seconds) const {
    const double editor = EditorSeconds();
    const double x = server > 0 ? ProcessCpuSeconds(server) : 0.0;
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    return Cost{(EditorSeconds() - editor) / seconds * 1000.0,
                server > 0 ? (ProcessCpuSeconds(server) - x) / seconds * 1000.0 : 0.0};
  }
};

// A thread that wakes at the frame rate and does nothing else: its CPU per second.
double BareWakingCost(double seconds) {
  double milliseconds = 0.0;
  std::thread bare([&] {
    const auto cpu = [] {
      timespec now{};
      clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
      return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
    };
    const double start = cpu();
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end)
      poll(nullptr, 0, 1000 / kFramesPerSecond);
    milliseconds = (cpu() - start) / seconds * 1000.0;
  });
  bare.join();
  return milliseconds;
}

void PrintCost(const char* what, const Cost& cost, const char* goal) {
  std::printf("%s: %.3f ms of CPU per second on the editor's thread, %.3f %% of a core%s, "
              "%.1f us per tick; the X server %.2f ms per second\n",
              what, cost.editorMs, cost.editorMs / 10.0, goal,
              cost.editorMs * 1000.0 / kFramesPerSecond, cost.serverMs);
}

} // namespace

int main(int argc, char** argv) {
  int width = 0, height = 0;
  const std::unique_ptr<BenchedPlugin> loaded = LoadPluginWithEditor(
      argc > 1 ? argv[1] : QUORVANE_BENCHED_PLUGIN, kRate, kBlock, width, height);
  if (!loaded) return 1;
  BenchedPlugin& plugin = *loaded;

  int screenNumber = 0;
  xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(connection)) {
    std::fprintf(stderr, "no X server\n");
    return 1;
  }
  auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (; screens.rem > 1 && screenNumber > 0; --screenNumber)
    xcb_screen_next(&screens);
  const xcb_window_t host = xcb_generate_id(connection);
  const std::uint32_t values[] = {screens.data->black_pixel, 1};
  xcb_create_window(connection, XCB_COPY_FROM_PARENT, host, screens.data->root, 0, 0,
                    std::uint16_t(width), std::uint16_t(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                    screens.data->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT,
                    values);
  xcb_map_window(connection, host);
  std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));

  const std::set<int> before = ThreadIds();
  if (plugin.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(std::uintptr_t(host)), 0.0f) ==
      0) {
    std::fprintf(stderr, "the editor did not open\n");
    return 1;
  }
  Meter meter;
  for (int tid : ThreadIds())
    if (before.count(tid) == 0) meter.editorThreads.insert(tid);
  meter.server = ServerProcess(connection);
  std::this_thread::sleep_for(std::chrono::milliseconds(500)); // the first paint

  xcb_window_t editor = 0;
  if (xcb_query_tree_reply_t* tree =
          xcb_query_tree_reply(connection, xcb_query_tree(connection, host), nullptr)) {
    if (xcb_query_tree_children_length(tree) > 0) editor = xcb_query_tree_children(tree)[0];
    std::free(tree);
  }
  if (editor == 0) {
    std::fprintf(stderr, "the editor opened no window\n");
    return 1;
  }
  const Cost idle = meter.Measure(kIdleSeconds);
  const double start = meter.EditorSeconds();
  const auto wall = std::chrono::steady_clock::now();
  // Each exposure of the whole window is painted by the editor at its next turn.
  for (int i = 0; i < kExposures; ++i) {
    xcb_clear_area(connection, 1, editor, 0, 0, 0, 0);
    xcb_flush(connection);
    std::this_thread::sleep_for(kExposurePause);
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count();
  const double exposureMs =
      ((meter.EditorSeconds() - start) - idle.editorMs * 1e-3 * seconds) / kExposures * 1000.0;
  std::printf("full repaint of the %d x %d editor on an exposure: %.3f ms of the editor's CPU "
              "(mean of %d; goal 1)\n",
              width, height, exposureMs, kExposures);

  PrintCost("editor open, nothing changing", idle, " (goal 1 %)");
  {
    const MovingEnvelope moving(plugin, kRate, kBlock);
    PrintCost("editor open, envelope strip moving", meter.Measure(kIdleSeconds), "");
  }

  plugin.Dispatch(effEditClose, 0, 0, nullptr, 0.0f);
  const double bare = BareWakingCost(kIdleSeconds);
  std::printf("no editor, a bare thread waking %d times a second: %.3f ms of CPU per second, "
              "%.1f us per wake-up\n",
              kFramesPerSecond, bare, bare * 1000.0 / kFramesPerSecond);
  xcb_destroy_window(connection, host);
  xcb_disconnect(connection);
  return 0;
}
