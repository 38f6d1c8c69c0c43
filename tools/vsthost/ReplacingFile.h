// A file written beside its target under a temporary name and renamed over
// the target only once it is complete, flushed and closed: a failed or
// interrupted write leaves the target as it was. Every file the host writes
// goes through it. Used from the host's main thread.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vsthost {

class ReplacingFile {
public:
  ReplacingFile() = default;
  ~ReplacingFile() { Discard(); }
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  bool Open(const std::string& target, std::string& error);
  std::FILE* Stream() const { return file_; }
  // Remembers a failed write, so that Commit refuses.
  void MarkFailed() { failed_ = true; }
  // Flushes, closes and renames over the target; on any failure removes the
  // temporary file and answers false.
  bool Commit(std::string& error);
  void Discard();

private:
  std::string target_, temporary_;
  std::FILE* file_ = nullptr;
  bool failed_ = false;
};

// A name beside `target` for its temporary copy (different per attempt).
std::string TemporaryNameBeside(const std::string& target, int attempt);

// The whole of `bytes` as the new content of `path`.
bool WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes,
                        std::string& error);
// At most `limit` bytes of `path`; a longer file is refused.
bool ReadSmallFile(const std::string& path, size_t limit, std::vector<uint8_t>& out,
                   std::string& error);

} // namespace vsthost
