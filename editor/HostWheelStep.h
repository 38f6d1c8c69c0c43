#pragma once
// A wheel step that a host forwards as a float (effVendorSpecific), turned
// into the surface's whole notches by every editor window. Pure; called on
// the host's thread that forwards the step.

namespace quorvane {

// A wheel step forwarded by the host as a float. Only a finite step is a
// step: converting NaN or infinity to int is undefined, so those are refused.
constexpr bool HostWheelStepUsable(float step) {
  return step == step && step - step == 0.0f;
}

// Whole notches of a usable host step, truncated toward zero; steps beyond
// any wheel are limited so that the conversion stays defined.
inline constexpr float kMaxHostWheelNotches = 1.0e6f;
constexpr int HostWheelNotches(float step) {
  if (step > kMaxHostWheelNotches) return static_cast<int>(kMaxHostWheelNotches);
  if (step < -kMaxHostWheelNotches) return -static_cast<int>(kMaxHostWheelNotches);
  return static_cast<int>(step);
}

} // namespace quorvane
