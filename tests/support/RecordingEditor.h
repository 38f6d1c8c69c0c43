// An editor double for tests of the plug-in base: records what the base pushes to it and the
// countdowns it starts, in a log that outlives it. Like a window closing, it can end a pending
// wheel gesture when it is destroyed.
#pragma once

#include "framework/IEffectBase.h"

#include <memory>
#include <string>
#include <vector>

namespace quorvane::test {

struct EditorLog {
  struct Push {
    int32_t index;
    double value;
    bool normalised;
  };
  std::vector<Push> pushes;
  std::vector<std::string> events; // "prepare", "countdown N", "clear"
  int32_t frameRate = IEditorConnection::kDefaultFrameRate;
  bool destroyed = false;
  // Set: the editor flushes the pending gesture when destroyed, as a window closing does.
  IEffectBase* flushOnDestroy = nullptr;
};

class RecordingEditor : public IEditorConnection {
public:
  explicit RecordingEditor(std::shared_ptr<EditorLog> sharedLog) : log(std::move(sharedLog)) {}
  ~RecordingEditor() override {
    log->destroyed = true;
    if (log->flushOnDestroy) log->flushOnDestroy->FlushHostGesture();
  }

  void PushParamToControls(int32_t index, double value, bool normalised) override {
    log->pushes.push_back({index, value, normalised});
  }
  void PrepareBackBuffer() override { log->events.push_back("prepare"); }
  int32_t FrameRate() const override { return log->frameRate; }
  void StartEndEditCountdown(int32_t ticks) override {
    log->events.push_back("countdown " + std::to_string(ticks));
  }
  void ClearEndEditCountdown() override { log->events.push_back("clear"); }

private:
  std::shared_ptr<EditorLog> log;
};

} // namespace quorvane::test
