#include "log/file_sink.h"

#include <sys/stat.h>

#include <cstring>

#include "result_codes.h"

namespace orv::log {

std::string backup_path_for(const std::string& log_path) { return log_path + ".bak"; }

CQelFileSink::CQelFileSink(std::string name, std::string path)
    : name_(std::move(name)), path_(std::move(path)) {}

int32_t CQelFileSink::query_interface(const char* interface_id, void** out) {
  return query_sink_interface(interface_id, out, this, this);
}

std::string CQelFileSink::path() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return path_;
}

int32_t CQelFileSink::set_max_size(uint32_t bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  max_size_ = bytes;
  return kOk;
}

int32_t CQelFileSink::set_path(const char* path) {
  if (path == nullptr) return kErrInvalidArg;
  std::lock_guard<std::mutex> lock(mutex_);
  file_.reset();
  path_ = path;
  return kOk;
}

// "e": the log file is not inherited by programs the host starts.
int32_t CQelFileSink::open_for_append() {
  if (path_.empty()) return kErrLoad;
  file_.reset(std::fopen(path_.c_str(), "ae"));
  if (!file_) return kErrLoad;
  struct stat info {};
  current_size_ = fstat(fileno(file_.get()), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
  return kOk;
}

int32_t CQelFileSink::start_new_file() {
  // rename() replaces an existing backup, so at most the log and one backup exist.
  struct stat info {};
  if (stat(path_.c_str(), &info) == 0 &&
      std::rename(path_.c_str(), backup_path_for(path_).c_str()) != 0 && file_) {
    // The log cannot be moved aside (its folder not writable, the backup name
    // taken by a folder): starting anew would truncate its lines, so keep
    // appending and try again with the next line that does not fit.
    return kOk;
  }
  file_.reset(std::fopen(path_.c_str(), "we"));
  if (!file_) return kErrLoad;
  current_size_ = 0;
  return kOk;
}

int32_t CQelFileSink::write_line(const char* line) {
  if (line == nullptr) return kErrInvalidArg;
  std::lock_guard<std::mutex> lock(mutex_);
  if (!file_) {
    int32_t rc = open_for_append();
    if (rc != kOk) return rc;
  }
  const size_t length = std::strlen(line);
  const uint64_t cost = static_cast<uint64_t>(length) + kFileLineOverhead;
  if (cost > max_size_) return kErrNoValue;
  if (current_size_ + cost > max_size_) {
    int32_t rc = start_new_file();
    if (rc != kOk) return rc;
  }
  FILE* file = file_.get();
  bool written = std::fwrite(line, 1, length, file) == length && std::fputc('\n', file) != EOF &&
                 std::fflush(file) == 0;
  if (!written) {
    // Reopen on the next write rather than keep writing into a failed stream.
    file_.reset();
    return kErrPlatform;
  }
  current_size_ += cost;
  return kOk;
}

}  // namespace orv::log
