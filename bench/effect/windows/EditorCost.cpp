// The editor's cost in the DLL, in a real window: one full repaint of the
// panel, and the user-interface thread's CPU time per second while the
// editor's timer ticks with nothing changing and with the envelope strip
// moving (audio on a thread of its own, in real time). The editor's window
// procedure is timed on its own, so that what a tick costs inside it stands
// apart from what the message loop costs to deliver it; a bare timer of the
// same rate on a child window with a handler that does nothing shows the
// loop's part alone. Plain timings, printed as a few lines; run under Wine
// inside an X server.

#include "../BenchedPlugin.h"
#include "../MovingEnvelope.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr double kRate = 48000.0;
constexpr int kBlock = 512;
constexpr int kRepaints = 200;
// Long enough for the thread times' coarse ticks under Wine.
constexpr double kIdleSeconds = 8.0;
// The editor's frame rate, for the bare timer that stands for it.
constexpr UINT kFramePeriodMs = 1000 / 24;
constexpr UINT_PTR kBareTimerId = 1;

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

double Now() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// A window procedure, wrapped: the time spent in it (outermost calls only; a
// paint sent from inside a tick counts once) and its timer ticks.
struct TimedProcedure {
  WNDPROC original = nullptr;
  int depth = 0;
  double seconds = 0.0;
  long ticks = 0;
} timed;

LRESULT CALLBACK TimedWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) ++timed.ticks;
  const double start = timed.depth++ == 0 ? Now() : 0.0;
  const LRESULT result = CallWindowProcA(timed.original, window, message, wParam, lParam);
  if (--timed.depth == 0) timed.seconds += Now() - start;
  return result;
}

void TimeProcedureOf(HWND window) {
  timed.original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TimedWindowProcedure)));
}

void UntimeProcedureOf(HWND window) {
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(timed.original));
}

// Waits for messages and dispatches them for the given time, as a host's
// user-interface thread does.
void PumpMessages(double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  for (auto now = std::chrono::steady_clock::now(); now < end;
       now = std::chrono::steady_clock::now()) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left + 1), QS_ALLINPUT);
  }
}

struct Cost {
  double threadMs;    // the user-interface thread's CPU per second
  double procedureMs; // of which inside the timed window procedure
  double tickUs;      // the procedure's time per timer tick
};

Cost MeasureCost(double seconds) {
  timed.seconds = 0.0;
  timed.ticks = 0;
  const double before = ThreadCpuSeconds();
  PumpMessages(seconds);
  const double thread = (ThreadCpuSeconds() - before) / seconds * 1000.0;
  const double procedure = timed.seconds / seconds * 1000.0;
  const double perTick =
      timed.ticks > 0 ? timed.seconds / static_cast<double>(timed.ticks) * 1e6 : 0.0;
  return Cost{thread, procedure, perTick};
}

void PrintCost(const char* what, const Cost& cost, const char* goal) {
  std::printf("%s: %.2f ms of CPU per second on the user-interface thread, %.2f %% of a core%s; "
              "inside the window procedure %.2f ms per second, %.1f us per tick\n",
              what, cost.threadMs, cost.threadMs / 10.0, goal, cost.procedureMs, cost.tickUs);
}

HWND MakeHostWindow(int width, int height) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "QuorvaneBenchmarkHost";
  RegisterClassA(&windowClass);
  RECT frame{0, 0, width, height};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  return CreateWindowA("QuorvaneBenchmarkHost", "editor cost", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                       0, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                       windowClass.hInstance, nullptr);
}

// What delivering the timer costs with no editor: a child window of the same
// size whose timer handler does nothing.
Cost BareTimerCost(HWND host, int width, int height) {
  HWND child = CreateWindowA("QuorvaneBenchmarkHost", "", WS_CHILD | WS_VISIBLE, 0, 0, width,
                             height, host, nullptr, GetModuleHandleA(nullptr), nullptr);
  PumpMessages(0.5);
  TimeProcedureOf(child);
  SetTimer(child, kBareTimerId, kFramePeriodMs, nullptr);
  const Cost cost = MeasureCost(kIdleSeconds);
  KillTimer(child, kBareTimerId);
  UntimeProcedureOf(child);
  DestroyWindow(child);
  return cost;
}

} // namespace

int main(int argc, char** argv) {
  int width = 0, height = 0;
  const std::unique_ptr<BenchedPlugin> loaded = LoadPluginWithEditor(
      argc > 1 ? argv[1] : QUORVANE_BENCHED_PLUGIN, kRate, kBlock, width, height);
  if (!loaded) return 1;
  BenchedPlugin& plugin = *loaded;
  HWND host = MakeHostWindow(width, height);
  const Cost bare = BareTimerCost(host, width, height);

  plugin.Dispatch(effEditOpen, 0, 0, host, 0.0f);
  HWND editor = GetWindow(host, GW_CHILD);
  if (editor == nullptr) {
    std::fprintf(stderr, "the editor opened no window\n");
    return 1;
  }
  TimeProcedureOf(editor);
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
  std::printf("full repaint of the %d x %d editor: %.3f ms (median of %d; goal 1)\n", width, height,
              repaints[repaints.size() / 2], kRepaints);

  PrintCost("editor open, nothing changing", MeasureCost(kIdleSeconds), " (goal 1 %)");
  {
    const MovingEnvelope moving(plugin, kRate, kBlock);
    PrintCost("editor open, envelope strip moving", MeasureCost(kIdleSeconds), "");
  }
  PrintCost("no editor, a bare 24 Hz timer whose handler does nothing", bare, "");

  UntimeProcedureOf(editor);
  plugin.Dispatch(effEditClose, 0, 0, nullptr, 0.0f);
  DestroyWindow(host);
  return 0;
}
