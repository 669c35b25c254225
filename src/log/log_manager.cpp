#include "log/log_manager.h"

#include <atomic>
#include <cstdlib>
#include <new>
#include <string_view>

#include "log/log_environment.h"
#include "log/null_sinks.h"
#include "log/stdout_sink.h"
#include "result_codes.h"

namespace orv::log {
namespace {

void set_result(int32_t* result, int32_t value) {
  if (result != nullptr) *result = value;
}

constinit std::mutex g_creation_mutex;
constinit std::atomic<CQelLogManager*> g_manager{nullptr};

}  // namespace

CQelLogManager::CQelLogManager()
    : root_(kRootLoggerName), null_logger_(kNullLoggerName, CQelLogger::Kind::kDiscarding) {}

CQelLogManager* CQelLogManager::instance(int32_t* result) {
  CQelLogManager* manager = g_manager.load(std::memory_order_acquire);
  if (manager == nullptr) {
    std::lock_guard<std::mutex> lock(g_creation_mutex);
    manager = g_manager.load(std::memory_order_relaxed);
    if (manager == nullptr) {
      manager = new (std::nothrow) CQelLogManager();
      if (manager == nullptr) {
        set_result(result, kErrNoMemory);
        return nullptr;
      }
      // secure_getenv: a set-user-id host's caller must not choose where it writes.
      apply_log_environment(*manager, secure_getenv(kLogMaskVariable),
                            secure_getenv(kLogFileVariable));
      g_manager.store(manager, std::memory_order_release);
    }
  }
  set_result(result, kOk);
  return manager;
}

CQelLogger* CQelLogManager::get_logger(const char* category, int32_t* result) {
  if (category == nullptr) {
    set_result(result, kErrInvalidArg);
    return &null_logger_;
  }
  std::string_view name(category);
  if (name == kRootLoggerName) {
    set_result(result, kOk);
    return &root_;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = loggers_.find(name);
  if (found != loggers_.end()) {
    set_result(result, kOk);
    return found->second.get();
  }
  try {
    auto logger = std::make_unique<CQelLogger>(std::string(name));
    logger->inherit_from(root_);
    CQelLogger* made = logger.get();
    loggers_.emplace(std::string(name), std::move(logger));
    set_result(result, kOk);
    return made;
  } catch (const std::bad_alloc&) {
    set_result(result, kErrNoMemory);
    return &null_logger_;
  }
}

IQelLogSink* CQelLogManager::keep(std::unique_ptr<IQelLogSink> sink) {
  sinks_.push_back(std::move(sink));
  return sinks_.back().get();
}

int32_t CQelLogManager::create_sink(const char* type_name, const char* sink_name,
                                    const LogProperties* properties, IQelLogSink** out) {
  if (out == nullptr) return kErrInvalidArg;
  *out = nullptr;
  std::string_view type(type_name != nullptr ? type_name : kStdoutSinkType);
  try {
    if (type == kStdoutSinkType) {
      if (sink_name == nullptr) {
        *out = null_standard_sink();
        return kOk;
      }
      std::lock_guard<std::mutex> lock(mutex_);
      *out = keep(std::make_unique<CQelStdoutSink>(sink_name));
      return kOk;
    }
    if (type == kFileSinkType) {
      std::string path;
      if (properties != nullptr) {
        auto entry = properties->find(kPropertyExtentionName);
        if (entry != properties->end()) path = entry->second;
      }
      if (sink_name == nullptr || (properties != nullptr && path.empty())) {
        *out = null_file_sink();
        return kOk;
      }
      std::lock_guard<std::mutex> lock(mutex_);
      *out = keep(std::make_unique<CQelFileSink>(sink_name, path));
      return kOk;
    }
  } catch (const std::bad_alloc&) {
    return kErrNoMemory;
  }
  return kErrNotSupported;
}

void CQelLogManager::for_each_logger(const std::function<void(CQelLogger&)>& fn) {
  std::lock_guard<std::mutex> lock(mutex_);
  fn(root_);
  for (auto& [name, logger] : loggers_) fn(*logger);
}

IQelLogSink* CQelLogManager::shared_stdout_sink() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (shared_stdout_ == nullptr) shared_stdout_ = keep(std::make_unique<CQelStdoutSink>(kStdoutSinkType));
  return shared_stdout_;
}

CQelFileSink* CQelLogManager::file_sink_for_path(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = file_sinks_by_path_.find(path);
  if (found != file_sinks_by_path_.end()) return found->second;
  auto sink = std::make_unique<CQelFileSink>(kFileSinkType, path);
  CQelFileSink* made = sink.get();
  keep(std::move(sink));
  file_sinks_by_path_.emplace(path, made);
  return made;
}

}  // namespace orv::log
