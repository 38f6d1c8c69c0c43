#pragma once
// The floors the plug-in's costs are read against: the least code that does
// each case's necessary work, built into the benchmark by the same compiler
// with the same flags. Benchmark thread only.

// A stereo band-pass second-order section over float buffers, in double.
struct FloorSection {
  double gain = 0.0;
  double a1 = 0.0;
  double a2 = 0.0;
  double w1[2] = {};
  double w2[2] = {};
};

// Designs the section's band-pass at freq Hz with damping q for rate Hz.
void DesignFloorSection(FloorSection& section, double freq, double q, double rate);

// The plain section: per sample and channel, w0 = gain in - (a2 w2 + a1 w1),
// out = w0 - w2.
void RunPlainSection(FloorSection& section, const float* const in[2], float* const out[2],
                     int frames);

// A frequency that moves every sample, and the section redesigned for it at
// every sample: one tangent and one division, then the plain section.
// The defaults follow the benchmark's envelope on frequency: from 20 Hz up
// two thirds of an 8 s attack over 17982 Hz at 48 kHz, and back.
struct FloorSweep {
  double freq = 20.0;
  double step = 0.0468; // Hz per sample; turns back at the ends
  double lowest = 20.0;
  double highest = 12000.0;
  double q = 3.0;
  double rate = 48000.0;
};
void RunRedesignedSection(FloorSection& section, FloorSweep& sweep, const float* const in[2],
                          float* const out[2], int frames);
