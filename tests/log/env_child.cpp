// Child program of the environment tests: logs one line per level through
// qel_log and a module handle, optionally after configuring logging in code.
//   log_env_child env
//   log_env_child code <log file>
#include <sys/auxv.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "log/log.h"
#include "orv/orv_log.hpp"

namespace {

constinit orv::log::ModuleLogger g_module_log("module");

void log_every_level(const char* category) {
  for (uint32_t level : {orv::log::kError, orv::log::kWarn, orv::log::kInfo, orv::log::kDebug,
                         orv::log::kTrace}) {
    orv::log::qel_log(category, level, "%s line at %u", category, level);
  }
}

int configure_in_code(const char* path) {
  // Loggers made before the configuration must follow it too.
  log_every_level("early");
  if (orv::log::set_log_id_radix(7) != -2) return 2;
  if (orv::log::attach_file_log(nullptr) != -2) return 2;
  if (orv::log::attach_file_log(path) != 0) return 3;
  if (orv::log::attach_file_log(path, 1 << 20) != 0) return 3;  // same file: no doubled lines
  if (orv::log::set_log_mask(orv::log::kMaskError | orv::log::kMaskWarn) != 0) return 4;
  if (orv::log::set_category_log_mask("quiet", 0) != 0) return 4;
  if (orv::log::set_log_line_flags(0) != 0) return 5;
  log_every_level("early");
  log_every_level("quiet");
  log_every_level("late");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "code") == 0) return configure_in_code(argv[2]);
  log_every_level("envtest");
  g_module_log.log(orv::log::kInfo, "module %s", "info");
  g_module_log.log(orv::log::kTrace, "module %s", "trace");
  if (getauxval(AT_SECURE) != 0) {
    // LeakSanitizer cannot inspect a set-user-id process and would fail it at
    // exit; that run checks only what was written.
    std::fflush(nullptr);
    _exit(0);
  }
  return 0;
}
