// Sink appending lines to a size-limited file with one ".bak" backup.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

#include "log/log_sink.h"
#include "orv/orv_log.hpp"

namespace orv::log {

// Each line is counted as its length plus two (line end and one spare byte),
// so the file never passes the maximum size.
inline constexpr uint32_t kFileLineOverhead = 2;

// Path of the backup a full log file is moved to.
std::string backup_path_for(const std::string& log_path);

class CQelFileSink final : public IQelFileLogSink {
 public:
  // An empty path means none: every write then fails with kErrLoad.
  CQelFileSink(std::string name, std::string path);
  int32_t query_interface(const char* interface_id, void** out) override;
  const char* get_type_name() const override { return kFileSinkType; }
  const char* get_name() const override { return name_.c_str(); }
  int32_t write_line(const char* line) override;
  int32_t set_max_size(uint32_t bytes) override;
  // Takes effect with the next write; the current file is closed.
  int32_t set_path(const char* path) override;

  std::string path() const;

 private:
  struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
  };
  int32_t open_for_append();
  int32_t start_new_file();

  const std::string name_;
  mutable std::mutex mutex_;
  std::string path_;
  std::unique_ptr<FILE, FileCloser> file_;
  uint32_t max_size_ = kDefaultMaxLogFileSize;
  uint64_t current_size_ = 0;
};

}  // namespace orv::log
