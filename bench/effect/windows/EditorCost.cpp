// The editor's cost in the DLL, in a real window: one full repaint of the
// panel, and the user-interface thread's CPU time per second while the
// editor's timer ticks with nothing changing and with the envelope strip
// moving (audio on a thread of its own, in real time). Plain timings, printed
// as a few lines; run under Wine inside an X server.

#include "../BenchedPlugin.h"
#include "../PluginLibrary.h"
#include "effect/VSTCLASS.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr double kRate = 48000.0;
constexpr int kBlock = 512;
constexpr int kRepaints = 200;
// Long enough for the thread times' coarse ticks under Wine.
constexpr double kIdleSeconds = 8.0;
constexpr int kParamEnvAttack = quorvane::VSTCLASS::kParamEnvAttack;

double Seconds(const FILETIME& t) {
  ULARGE_INTEGER v;
  v.LowPart = t.dwLowDateTime;
  v.HighPart = t.dwHighDateTime;
  return static_cast<double>(v.QuadPart) * 1e-7;
}

// This thread's user and kernel time so far.
double ThreadCpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  return Seconds(kernel) + Seconds(user);
}

// Dispatches messages for the given time, as a host's user-interface thread does.
void PumpMessages(double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

// Milliseconds of user-interface CPU time per second of pumping.
double IdleCost(double seconds) {
  const double before = ThreadCpuSeconds();
  PumpMessages(seconds);
  return (ThreadCpuSeconds() - before) / seconds * 1000.0;
}

HWND MakeHostWindow(int width, int height) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "QuorvaneBenchmarkHost";
  RegisterClassA(&windowClass);
  RECT frame{0, 0, width, height};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  return CreateWindowA("QuorvaneBenchmarkHost", "editor cost", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                       0, 0, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                       windowClass.hInstance, nullptr);
}

} // namespace

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : QUORVANE_BENCHED_PLUGIN;
  std::string error;
  PluginLibrary library = LoadPluginLibrary(path, error);
  if (library.entry == nullptr) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  BenchedPlugin plugin(library.entry, kRate, kBlock);
  ERect* size = nullptr;
  plugin.Dispatch(effEditGetRect, 0, 0, &size, 0.0f);
  if (!plugin.Valid() || size == nullptr) {
    std::fprintf(stderr, "the plug-in has no editor\n");
    return 1;
  }
  const int width = size->right - size->left, height = size->bottom - size->top;
  HWND host = MakeHostWindow(width, height);
  plugin.Dispatch(effEditOpen, 0, 0, host, 0.0f);
  HWND editor = GetWindow(host, GW_CHILD);
  if (editor == nullptr) {
    std::fprintf(stderr, "the editor opened no window\n");
    return 1;
  }
  PumpMessages(0.5); // the first paint and the images

  std::vector<double> repaints;
  for (int i = 0; i < kRepaints; ++i) {
    const auto start = std::chrono::steady_clock::now();
    RedrawWindow(editor, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    repaints.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(repaints.begin(), repaints.end());
  std::printf("full repaint of the %d x %d editor: %.3f ms (median of %d; goal 1)\n", width,
              height, repaints[repaints.size() / 2], kRepaints);

  const double still = IdleCost(kIdleSeconds);
  std::printf("editor open, nothing changing: %.2f ms of CPU per second, %.2f %% of a core "
              "(goal 1 %%)\n",
              still, still / 10.0);

  // The envelope moves for as long as the audio runs: an 8 s attack, a note held.
  plugin.SelectProgram(5);
  plugin.SetParameter(kParamEnvAttack, 1.0f);
  plugin.Note(true);
  std::atomic<bool> running{true};
  std::thread audio([&] {
    const auto period = std::chrono::duration<double>(kBlock / kRate);
    auto next = std::chrono::steady_clock::now();
    while (running.load()) {
      plugin.ProcessBlock();
      next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(period);
      std::this_thread::sleep_until(next);
    }
  });
  const double moving = IdleCost(kIdleSeconds);
  running.store(false);
  audio.join();
  std::printf("editor open, envelope strip moving: %.2f ms of CPU per second on the "
              "user-interface thread, %.2f %% of a core\n",
              moving, moving / 10.0);

  plugin.Dispatch(effEditClose, 0, 0, nullptr, 0.0f);
  DestroyWindow(host);
  return 0;
}
