#include "snmp/session/v3_library.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

namespace orv::session {
namespace {

std::mutex& library_mutex() {
  static std::mutex mutex;
  return mutex;
}

int g_users = 0;  // guarded by library_mutex()

// Library messages go nowhere: the host owns its standard error.
netsnmp_log_handler* g_silent_log = nullptr;  // guarded by library_mutex()

void start_library() {
  netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
  netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_LOAD_HOST_FILES, 1);
  netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
  netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
  netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
  netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_NO_TOKEN_WARNINGS, 1);
  netsnmp_ds_set_int(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_MIB_WARNINGS, 0);
  // No MIB directory and an empty module list: numeric OIDs need no MIB,
  // and loading the default modules costs tens of milliseconds.
  netsnmp_set_mib_directory("");
  static char no_modules[] = "mibs :";
  netsnmp_config_remember(no_modules);
  g_silent_log = netsnmp_register_loghandler(NETSNMP_LOGHANDLER_NONE, LOG_DEBUG);
  init_snmp("");
}

}  // namespace

std::unique_lock<std::mutex> v3_library_lock() {
  return std::unique_lock<std::mutex>(library_mutex());
}

V3LibraryUse::V3LibraryUse() {
  std::lock_guard<std::mutex> lock(library_mutex());
  if (g_users++ == 0) start_library();
}

V3LibraryUse::~V3LibraryUse() {
  std::lock_guard<std::mutex> lock(library_mutex());
  if (--g_users != 0) return;
  // Shut-down frees the log handlers; this one goes first so that nothing
  // frees it twice, and what the shut-down says is dropped anyway.
  if (g_silent_log) netsnmp_remove_loghandler(g_silent_log);
  g_silent_log = nullptr;
  snmp_shutdown("");
}

int v3_library_users() {
  std::lock_guard<std::mutex> lock(library_mutex());
  return g_users;
}

}  // namespace orv::session
