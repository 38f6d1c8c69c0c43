#pragma once
// Whether the files built for the processor's AVX units may run: the
// processor has them (known once the module has loaded) and they are
// allowed. Any thread.

namespace quorvane {

bool WideUnitsPresent() noexcept;

// Tests turn the wide units off to run the baseline code on a processor
// that has them; allowed until then.
void AllowWideUnits(bool allowed) noexcept;

} // namespace quorvane
