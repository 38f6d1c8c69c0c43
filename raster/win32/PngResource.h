#pragma once
// Decoding a PNG stored in a module's resources (type "PNG"), as the editor
// loads its images. Windows only; editor window thread.

namespace quorvane {

class RasterBitmap;

// module is the HINSTANCE of the library holding the resource. Ownership of
// the result as for DecodePngMemory.
RasterBitmap* DecodePngResource(void* module, int resourceId, RasterBitmap* bitmap = nullptr);

} // namespace quorvane
