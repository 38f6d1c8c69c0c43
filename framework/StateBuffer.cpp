#include "framework/StateBuffer.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

namespace quorvane {

namespace {

constexpr int64_t kMaxSize = std::numeric_limits<int32_t>::max() - StateBuffer::kGranularity;

void StoreLittleEndian(uint8_t* out, uint64_t bits, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out[i] = static_cast<uint8_t>(bits >> (8 * i));
}

uint64_t LoadLittleEndian(const uint8_t* in, int bytes) {
  uint64_t bits = 0;
  for (int i = 0; i < bytes; ++i)
    bits |= static_cast<uint64_t>(in[i]) << (8 * i);
  return bits;
}

} // namespace

StateBuffer::~StateBuffer() {
  std::free(data);
}

StateBuffer::StateBuffer(StateBuffer&& other) noexcept
    : data(std::exchange(other.data, nullptr)), capacity(std::exchange(other.capacity, 0)),
      length(std::exchange(other.length, 0)) {}

StateBuffer& StateBuffer::operator=(StateBuffer&& other) noexcept {
  if (this != &other) {
    std::free(data);
    data = std::exchange(other.data, nullptr);
    capacity = std::exchange(other.capacity, 0);
    length = std::exchange(other.length, 0);
  }
  return *this;
}

bool StateBuffer::Reserve(int64_t size) {
  if (size < 0 || size > kMaxSize) return false;
  if (size <= capacity) return true;
  const int64_t rounded = (size + kGranularity - 1) / kGranularity * kGranularity;
  // realloc keeps the old block when it fails, so a refused growth loses nothing.
  void* grown = std::realloc(data, static_cast<std::size_t>(rounded));
  if (!grown) return false;
  data = static_cast<uint8_t*>(grown);
  capacity = static_cast<int32_t>(rounded);
  return true;
}

bool StateBuffer::Resize(int32_t size) {
  if (!Reserve(size)) return false;
  if (size > length) std::memset(data + length, 0, static_cast<std::size_t>(size - length));
  length = size;
  return true;
}

bool StateBuffer::Assign(const void* bytes, int64_t size) {
  if (size < 0 || (size > 0 && !bytes)) return false;
  const auto address = reinterpret_cast<std::uintptr_t>(bytes);
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  if (data && address >= start && address < start + static_cast<std::uintptr_t>(capacity) &&
      static_cast<int64_t>(address - start) + size > capacity)
    return false; // growing would free the very bytes to be copied
  if (!Reserve(size)) return false;
  // memmove: the bytes may be this buffer's own (a host handing back what it was given).
  if (size > 0) std::memmove(data, bytes, static_cast<std::size_t>(size));
  length = static_cast<int32_t>(size);
  return true;
}

void StateBuffer::FillZero() {
  if (length > 0) std::memset(data, 0, static_cast<std::size_t>(length));
}

bool StateBuffer::AppendBytes(const void* bytes, int32_t size) {
  if (size < 0 || (size > 0 && !bytes)) return false;
  if (!Reserve(static_cast<int64_t>(length) + size)) return false;
  if (size > 0) std::memcpy(data + length, bytes, static_cast<std::size_t>(size));
  length += size;
  return true;
}

bool StateBuffer::AppendByte(uint8_t value) {
  return AppendBytes(&value, 1);
}

bool StateBuffer::AppendInt32(int32_t value) {
  uint8_t bytes[4];
  StoreLittleEndian(bytes, static_cast<uint32_t>(value), 4);
  return AppendBytes(bytes, 4);
}

bool StateBuffer::AppendDouble(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  uint8_t bytes[8];
  StoreLittleEndian(bytes, bits, 8);
  return AppendBytes(bytes, 8);
}

bool StateBuffer::AppendString(const char* text) {
  const std::size_t size = text ? std::strlen(text) : 0;
  if (size > static_cast<std::size_t>(kMaxSize)) return false;
  const int64_t before = length;
  if (!AppendInt32(static_cast<int32_t>(size))) return false;
  if (!AppendBytes(text, static_cast<int32_t>(size))) {
    length = static_cast<int32_t>(before);
    return false;
  }
  return true;
}

int32_t StateBuffer::Remaining(int32_t pos) const {
  return (pos >= 0 && pos <= length) ? length - pos : 0;
}

int32_t StateBuffer::ReadBytes(void* out, int32_t size, int32_t pos) const {
  if (pos < 0 || size < 0 || Remaining(pos) < size) return -1;
  if (size > 0) std::memcpy(out, data + pos, static_cast<std::size_t>(size));
  return pos + size;
}

int32_t StateBuffer::ReadByte(uint8_t* out, int32_t pos) const {
  return ReadBytes(out, 1, pos);
}

int32_t StateBuffer::ReadInt32(int32_t* out, int32_t pos) const {
  if (pos < 0 || Remaining(pos) < 4) return -1;
  *out = static_cast<int32_t>(static_cast<uint32_t>(LoadLittleEndian(data + pos, 4)));
  return pos + 4;
}

int32_t StateBuffer::ReadDouble(double* out, int32_t pos) const {
  if (pos < 0 || Remaining(pos) < 8) return -1;
  const uint64_t bits = LoadLittleEndian(data + pos, 8);
  std::memcpy(out, &bits, sizeof bits);
  return pos + 8;
}

int32_t StateBuffer::ReadString(char* text, int32_t textSize, int32_t pos) const {
  if (text && textSize > 0) text[0] = '\0';
  int32_t size = 0;
  pos = ReadInt32(&size, pos);
  if (pos < 0 || size < 0 || Remaining(pos) < size) return -1;
  if (text && textSize > 0) {
    const int32_t kept = size < textSize - 1 ? size : textSize - 1;
    if (kept > 0) std::memcpy(text, data + pos, static_cast<std::size_t>(kept));
    text[kept] = '\0';
  }
  return pos + size;
}

} // namespace quorvane
