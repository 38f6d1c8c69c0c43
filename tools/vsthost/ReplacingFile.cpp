#include "ReplacingFile.h"

#include "FileSystem.h"

namespace vsthost {

std::string TemporaryNameBeside(const std::string& target, int attempt) {
  // Beside the target, so that the rename stays on one file system.
  const std::string name = BaseName(target);
  const std::string folder = target.substr(0, target.size() - name.size());
  return folder + "." + name + "." + std::to_string(ProcessId()) + "-" + std::to_string(attempt) +
         ".tmp";
}

bool ReplacingFile::Open(const std::string& target, std::string& error) {
  Discard();
  for (int attempt = 0; attempt < 100 && file_ == nullptr; ++attempt) {
    temporary_ = TemporaryNameBeside(target, attempt);
    file_ = CreateNewFile(temporary_);
  }
  if (file_ == nullptr) {
    error = target + ": cannot create a file beside it (" + LastFileError() + ")";
    temporary_.clear();
    return false;
  }
  target_ = target;
  failed_ = false;
  return true;
}

bool ReplacingFile::Commit(std::string& error) {
  if (file_ == nullptr) {
    error = target_ + ": nothing was written";
    return false;
  }
  const bool flushed = !failed_ && std::ferror(file_) == 0 && FlushToDisk(file_);
  const std::string reason = flushed ? std::string() : LastFileError();
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!flushed || !closed) {
    error = target_ + ": write failed (" + (reason.empty() ? LastFileError() : reason) +
            "); the file was left as it was";
    Discard();
    return false;
  }
  if (!MoveFileOver(temporary_, target_, error)) {
    Discard();
    return false;
  }
  temporary_.clear();
  return true;
}

void ReplacingFile::Discard() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (!temporary_.empty()) RemoveFile(temporary_);
  temporary_.clear();
}

bool WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes,
                        std::string& error) {
  ReplacingFile file;
  if (!file.Open(path, error)) return false;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.Stream()) != bytes.size()) file.MarkFailed();
  return file.Commit(error);
}

bool ReadSmallFile(const std::string& path, size_t limit, std::vector<uint8_t>& out,
                   std::string& error) {
  std::FILE* file = OpenFile(path, "rb");
  if (file == nullptr) {
    error = path + ": " + LastFileError();
    return false;
  }
  std::vector<uint8_t> bytes(limit + 1);
  const size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed || got > limit) {
    error = path + (failed ? ": read error" : ": too large for this kind of file");
    return false;
  }
  bytes.resize(got);
  out = std::move(bytes);
  return true;
}

} // namespace vsthost
