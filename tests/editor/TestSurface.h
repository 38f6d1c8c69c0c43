#pragma once
// The editor surface with the window hooks a test needs: it records prompts,
// web addresses, countdowns and blits, hands out bitmaps registered by the
// test (the process-wide cache keeps them, so every registration takes a
// fresh id), makes fonts drawn by the recording text renderer, and plays the
// window's frame tick (repaint, then countdown).

#include "editor/IEditorSurface.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace quorvane::test {

struct Prompt {
  IControl* control;
  IParameter* param;
};

class TestSurface : public IEditorSurface {
public:
  static constexpr std::int32_t kWidth = 200;
  static constexpr std::int32_t kHeight = 120;

  explicit TestSurface(IEffectBase* plugIn, std::int32_t w = kWidth, std::int32_t h = kHeight,
                       std::int32_t rate = 0);

  bool BlitToWindow(const Rect& rect) override;
  void OpenControlTextEntry(IControl*) override {}
  void PromptParamInput(IControl* control, IParameter* param) override;
  void OpenTextEntry(IControl*, const TextStyle&, const Rect&, const char*, bool, bool) override {}
  void GetHostDirectory(std::string& directory) override { directory.clear(); }
  void GetPluginDirectory(std::string& directory) override { directory.clear(); }
  void AskForFile(std::string& fileName, std::int32_t, const char*, const char*) override {
    fileName.clear();
  }
  bool AskForColor(Color&, const char*) override { return false; }
  bool OpenWebAddress(const char* url, const char* title, const char* confirm,
                      const char* error) override;
  void StartEndEditCountdown(std::int32_t ticks) override;
  void ClearEndEditCountdown() override;
  void* OpenEditorWindow(void* parent) override;
  void CloseEditorWindow() override { open = false; }
  void* GetWindowHandle() override { return open ? this : nullptr; }
  void SyncTooltips() override {}
  std::unique_ptr<RasterBitmap> BitmapFromResource(std::int32_t id, const char* name) override;
  std::unique_ptr<GlyphFont> CreateStyleFont(const TextStyle& style) override;
  std::int32_t ChooseFromMenu(const char* const* items, std::int32_t count, int x,
                              int y) override;

  // A fresh resource id whose image is made by `make` (null: a failed load).
  std::int32_t Register(std::function<std::unique_ptr<RasterBitmap>()> make);
  // Registers the bitmap and loads it with that many frames.
  BitmapRef Load(std::unique_ptr<RasterBitmap> bitmap, std::int32_t frames);
  // Registers PNG bytes, decoded when the surface loads them.
  BitmapRef LoadPng(std::vector<std::uint8_t> bytes, std::int32_t frames);

  // One timer tick of the window: repaint what is dirty, then run the
  // countdown. Frame answers whether anything was painted.
  bool Frame();
  void Tick();

  std::uint32_t Pixel(int x, int y) const;

  std::vector<Prompt> prompts;
  std::vector<std::string> webAddresses;
  std::deque<bool> webResults; // answers of OpenWebAddress in turn; false when empty
  std::vector<std::int32_t> countdownStarts;
  int countdownClears = 0;
  std::int32_t countdown = 0;
  std::vector<Rect> blits;
  std::map<std::int32_t, int> loads; // BitmapFromResource calls per id
  int fontsMade = 0;
  std::vector<std::int32_t> fontSizes; // of every font made, in turn
  std::vector<std::vector<std::string>> menus; // items of every menu shown
  std::int32_t menuAnswer = -1;
  bool open = false;

private:
  std::map<std::int32_t, std::function<std::unique_ptr<RasterBitmap>()>> images;
};

// True when both rectangles have the same four values.
bool SameRect(const Rect& a, const Rect& b);

} // namespace quorvane::test
