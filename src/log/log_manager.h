// The process-wide log manager: hands out one logger per category name, makes
// sinks, and owns both for the life of the process.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "log/file_sink.h"
#include "log/log_sink.h"
#include "log/logger.h"

namespace orv::log {

inline constexpr char kRootLoggerName[] = "All";
inline constexpr char kNullLoggerName[] = "null_session";

// Properties given when a sink is made (kPropertyExtentionName for a file sink).
using LogProperties = std::map<std::string, std::string>;

class CQelLogManager {
 public:
  // A manager with the root logger at mask 0 and no sink; reads no environment.
  CQelLogManager();
  CQelLogManager(const CQelLogManager&) = delete;
  CQelLogManager& operator=(const CQelLogManager&) = delete;

  // The process-wide manager, made on first use under a lock; making it
  // applies ORV_LOG_MASK and ORV_LOG_FILE. It is never destroyed, so handles
  // to its loggers stay valid while static destructors and late threads log.
  // Null (with kErrNoMemory in *result) when it cannot be made.
  static CQelLogManager* instance(int32_t* result = nullptr);

  // The logger of a category (the root for "All"), made on first request with
  // the root's settings and sinks. Never null: when no logger can be made the
  // discarding "null_session" logger comes back, and *result says why.
  CQelLogger* get_logger(const char* category, int32_t* result = nullptr);

  // Makes a sink by type name ("stdout", "file"; a null type means "stdout").
  // A null sink name gives the shared null sink of the type; a file sink whose
  // properties lack a non-empty kPropertyExtentionName path gives the shared
  // null file sink, one made without properties has no path (writes fail
  // with kErrLoad). Unknown types give kErrNotSupported.
  int32_t create_sink(const char* type_name, const char* sink_name,
                      const LogProperties* properties, IQelLogSink** out);

  CQelLogger& root() { return root_; }
  CQelLogger& null_logger() { return null_logger_; }

  // Runs fn on the root and every category logger, under the manager's lock.
  void for_each_logger(const std::function<void(CQelLogger&)>& fn);

  // Sinks for host configuration: one standard-output sink, and one file
  // sink per path, so configuring twice never doubles lines.
  IQelLogSink* shared_stdout_sink();
  CQelFileSink* file_sink_for_path(const std::string& path);

 private:
  IQelLogSink* keep(std::unique_ptr<IQelLogSink> sink);

  std::mutex mutex_;
  CQelLogger root_;
  CQelLogger null_logger_;
  std::map<std::string, std::unique_ptr<CQelLogger>, std::less<>> loggers_;
  std::vector<std::unique_ptr<IQelLogSink>> sinks_;
  IQelLogSink* shared_stdout_ = nullptr;
  std::map<std::string, CQelFileSink*> file_sinks_by_path_;
};

}  // namespace orv::log
