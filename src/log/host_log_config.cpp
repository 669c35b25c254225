// The exported calls of orv/orv_log.hpp, applied to the process-wide manager.

#include "log/log_environment.h"
#include "log/log_manager.h"
#include "orv/orv_log.hpp"
#include "result_codes.h"

namespace orv::log {

int32_t set_log_mask(uint32_t mask) {
  int32_t rc = kOk;
  CQelLogManager* manager = CQelLogManager::instance(&rc);
  return manager != nullptr ? set_mask_everywhere(*manager, mask) : rc;
}

int32_t set_category_log_mask(const char* category, uint32_t mask) {
  if (category == nullptr) return kErrInvalidArg;
  int32_t rc = kOk;
  CQelLogManager* manager = CQelLogManager::instance(&rc);
  if (manager == nullptr) return rc;
  CQelLogger* logger = manager->get_logger(category, &rc);
  return rc != kOk ? rc : logger->set_mask(mask);
}

int32_t set_log_line_flags(uint32_t flags) {
  int32_t rc = kOk;
  CQelLogManager* manager = CQelLogManager::instance(&rc);
  if (manager == nullptr) return rc;
  manager->for_each_logger([flags](CQelLogger& logger) { logger.set_line_flags(flags); });
  return kOk;
}

int32_t set_log_id_radix(uint32_t radix) {
  if (radix != kDefaultIdRadix && radix != kHexIdRadix) return kErrInvalidArg;
  int32_t rc = kOk;
  CQelLogManager* manager = CQelLogManager::instance(&rc);
  if (manager == nullptr) return rc;
  manager->for_each_logger([radix](CQelLogger& logger) { logger.set_radix(radix); });
  return kOk;
}

int32_t attach_stdout_log() {
  int32_t rc = kOk;
  CQelLogManager* manager = CQelLogManager::instance(&rc);
  return manager != nullptr ? attach_stdout_everywhere(*manager) : rc;
}

int32_t attach_file_log(const char* path, uint32_t max_size) {
  int32_t rc = kOk;
  CQelLogManager* manager = CQelLogManager::instance(&rc);
  return manager != nullptr ? attach_file_everywhere(*manager, path, max_size) : rc;
}

}  // namespace orv::log
