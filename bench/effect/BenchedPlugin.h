#pragma once
// Drives a VST2 plug-in as a host does, for the benchmark: open, rate and
// block size, programs and parameters, notes, and blocks of stereo noise
// through the float callback. Benchmark thread only.

#include "framework/vst2/Vst2Interface.h"

#include <vector>

class BenchedPlugin {
public:
  BenchedPlugin(VstPluginMainProc entry, double rate, int blockSize);
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

private:
  AEffect* effect = nullptr;
  int frames;
  std::vector<float> input[2], output[2];
  float* inputs[2];
  float* outputs[2];
};
