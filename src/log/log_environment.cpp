#include "log/log_environment.h"

#include <cctype>
#include <charconv>
#include <new>
#include <string_view>

#include "log/log_manager.h"
#include "result_codes.h"

namespace orv::log {

bool parse_log_mask(const char* text, uint32_t* mask) {
  if (text == nullptr || mask == nullptr) return false;
  std::string_view rest(text);
  auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!rest.empty() && blank(rest.front())) rest.remove_prefix(1);
  while (!rest.empty() && blank(rest.back())) rest.remove_suffix(1);
  int base = 10;
  if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
    base = 16;
    rest.remove_prefix(2);
  }
  // from_chars takes digits only: no sign, no second prefix, no overflow.
  uint32_t value = 0;
  auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value, base);
  if (rest.empty() || error != std::errc() || end != rest.data() + rest.size()) return false;
  *mask = value;
  return true;
}

void apply_log_environment(CQelLogManager& manager, const char* mask_text, const char* file_path) {
  uint32_t mask = 0;
  bool has_mask = parse_log_mask(mask_text, &mask);
  try {
    if (file_path != nullptr && file_path[0] != '\0') {
      manager.root().attach_sink(manager.file_sink_for_path(file_path));
    } else if (has_mask && mask != 0) {
      manager.root().attach_sink(manager.shared_stdout_sink());
    }
  } catch (const std::bad_alloc&) {
    return;  // no sink, so nothing would be written: leave the mask at 0
  }
  if (has_mask) manager.root().set_mask(mask);
}

int32_t set_mask_everywhere(CQelLogManager& manager, uint32_t mask) {
  manager.for_each_logger([mask](CQelLogger& logger) { logger.set_mask(mask); });
  return kOk;
}

namespace {

int32_t attach_everywhere(CQelLogManager& manager, IQelLogSink* sink) {
  manager.for_each_logger([sink](CQelLogger& logger) { logger.attach_sink(sink); });
  return kOk;
}

}  // namespace

int32_t attach_stdout_everywhere(CQelLogManager& manager) {
  try {
    return attach_everywhere(manager, manager.shared_stdout_sink());
  } catch (const std::bad_alloc&) {
    return kErrNoMemory;
  }
}

int32_t attach_file_everywhere(CQelLogManager& manager, const char* path, uint32_t max_size) {
  if (path == nullptr || path[0] == '\0') return kErrInvalidArg;
  try {
    CQelFileSink* sink = manager.file_sink_for_path(path);
    sink->set_max_size(max_size);
    return attach_everywhere(manager, sink);
  } catch (const std::bad_alloc&) {
    return kErrNoMemory;
  }
}

}  // namespace orv::log
