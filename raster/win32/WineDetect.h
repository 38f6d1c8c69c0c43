#pragma once
// Whether the library runs under the Wine compatibility layer, whose GDI
// text differs enough from Windows' that text is drawn from the glyph cache
// there. Windows only; the answer is found once per process.

namespace quorvane {

bool IsRunningUnderWine();

} // namespace quorvane
