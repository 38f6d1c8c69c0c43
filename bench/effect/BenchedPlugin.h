#pragma once
// Drives a VST2 plug-in as a host does, for the benchmark: open, rate and
// block size, programs and parameters, notes, and blocks of stereo noise
// through the float callback. Benchmark thread only.

#include "PluginModule.h"
#include "framework/vst2/Vst2Interface.h"

#include <memory>
#include <string>
#include <vector>

class BenchedPlugin {
public:
  BenchedPlugin(VstPluginMainProc entry, double rate, int blockSize);
  // The plug-in library at path, loaded and instantiated; it stays loaded
  // while the instance lives. Null, with the reason in error, when it cannot.
  static std::unique_ptr<BenchedPlugin> Load(const std::string& path, double rate, int blockSize,
                                             std::string& error);
  ~BenchedPlugin();
  BenchedPlugin(const BenchedPlugin&) = delete;
  BenchedPlugin& operator=(const BenchedPlugin&) = delete;

  bool Valid() const { return effect != nullptr; }
  void SelectProgram(int program);
  void SetParameter(int index, float normalised);
  // A note-on (velocity 100) or note-off at frame 0 of the next block.
  void Note(bool on);
  // One block of blockSize frames through processReplacing.
  void ProcessBlock();
  const float* LastOutput() const { return output[0].data(); }
  intptr_t Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
  // The editor's size in pixels; false when the plug-in has none.
  bool EditorSize(int& width, int& height);

private:
  std::unique_ptr<vsthost::PluginModule> module; // only when made by Load
  AEffect* effect = nullptr;
  int frames;
  std::vector<float> input[2], output[2];
  float* inputs[2];
  float* outputs[2];
};

// For the editor's cost: the plug-in at path with its editor's size; null,
// with the reason printed, when it cannot be loaded or has no editor.
std::unique_ptr<BenchedPlugin> LoadPluginWithEditor(const std::string& path, double rate,
                                                    int blockSize, int& width, int& height);
