#pragma once

// Reads a fuzz input from front to back as the numbers and texts a target needs. Past the end
// every read answers zeros, so any prefix of an input is a valid input too, and hand-written
// seeds read in the order they were written.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace quorvane {

class ByteReader {
public:
  ByteReader(const uint8_t* data, std::size_t size) : next(data), left(size) {}

  bool Empty() const { return left == 0; }
  std::size_t Left() const { return left; }

  uint8_t Byte() { return Read<uint8_t>(); }
  uint16_t U16() { return Read<uint16_t>(); }
  uint32_t U32() { return Read<uint32_t>(); }
  uint64_t U64() { return Read<uint64_t>(); }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  float Float() { return Read<float>(); }
  double Double() { return Read<double>(); }

  // lo + (a 16-bit number modulo hi - lo + 1); for ranges of at most 65536 values.
  int32_t InRange(int32_t lo, int32_t hi) {
    return lo + static_cast<int32_t>(U16() % static_cast<uint32_t>(hi - lo + 1));
  }

  // Up to count bytes of the input in place; *taken says how many there were.
  const uint8_t* Take(std::size_t count, std::size_t* taken) {
    const uint8_t* start = next;
    *taken = count < left ? count : left;
    next += *taken;
    left -= *taken;
    return start;
  }

  // The rest of the input.
  const uint8_t* Rest(std::size_t* taken) { return Take(left, taken); }

private:
  // In the machine's byte order, little-endian wherever the fuzzers run; seeds are written so.
  template <typename T> T Read() {
    uint8_t bytes[sizeof(T)] = {};
    std::size_t taken = 0;
    const uint8_t* from = Take(sizeof(T), &taken);
    if (taken > 0) std::memcpy(bytes, from, taken);
    T result;
    std::memcpy(&result, bytes, sizeof(T));
    return result;
  }

  const uint8_t* next;
  std::size_t left;
};

} // namespace quorvane
