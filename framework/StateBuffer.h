#pragma once

// A contiguous, growable byte array that keeps its bytes when it grows. It carries state chunks,
// each preset's values and the per-channel scratch sample buffers. Numbers are stored
// little-endian whatever the host's byte order, so chunks move between machines unchanged.
//
// Readers answer the position after what they read, or -1 when the data runs out (or when they
// are handed -1), so a chain of reads stops at the first missing byte.
//
// Not thread-safe: the owner serialises access (the plug-in lock, or a single thread).

#include <cstdint>

namespace quorvane {

class StateBuffer {
public:
  static constexpr int32_t kGranularity = 4096;

  StateBuffer() = default;
  ~StateBuffer();
  StateBuffer(const StateBuffer&) = delete;
  StateBuffer& operator=(const StateBuffer&) = delete;
  StateBuffer(StateBuffer&& other) noexcept;
  StateBuffer& operator=(StateBuffer&& other) noexcept;

  uint8_t* Data() { return data; }
  const uint8_t* Data() const { return data; }
  // The bytes seen as doubles, for the scratch sample buffers (allocation is suitably aligned).
  double* Doubles() { return reinterpret_cast<double*>(data); }
  int32_t Size() const { return length; }
  int32_t Capacity() const { return capacity; }
  bool Empty() const { return length == 0; }

  // Sets the length, keeping the first bytes; new bytes are zero. False (nothing changed) when
  // the size is negative or the memory cannot be had.
  bool Resize(int32_t size);
  // Length 0; the allocation is kept for the next fill.
  void Clear() { length = 0; }
  // Makes the buffer a copy of the given bytes; false (nothing changed) on failure.
  bool Assign(const void* bytes, int64_t size);
  // Zeroes every byte of the current length.
  void FillZero();

  bool AppendBytes(const void* bytes, int32_t size);
  bool AppendByte(uint8_t value);
  bool AppendInt32(int32_t value);
  bool AppendDouble(double value);
  // The text's length as int32, then its bytes without terminator. A null text is empty.
  bool AppendString(const char* text);

  int32_t ReadBytes(void* out, int32_t size, int32_t pos) const;
  int32_t ReadByte(uint8_t* out, int32_t pos) const;
  int32_t ReadInt32(int32_t* out, int32_t pos) const;
  int32_t ReadDouble(double* out, int32_t pos) const;
  // Reads what AppendString wrote into a NUL-terminated text of textSize bytes, cutting a longer
  // one. A length <= 0 gives an empty text; a negative length or one that passes the end gives -1.
  int32_t ReadString(char* text, int32_t textSize, int32_t pos) const;

  // Number of bytes available at pos (0 for a position outside the data).
  int32_t Remaining(int32_t pos) const;

private:
  bool Reserve(int64_t size);

  uint8_t* data = nullptr;
  int32_t capacity = 0;
  int32_t length = 0;
};

} // namespace quorvane
