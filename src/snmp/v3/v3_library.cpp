#include "snmp/v3/v3_library.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include "snmp/v3/v3_environment.h"

namespace orv::session {
namespace {

std::mutex& library_mutex() {
  static std::mutex mutex;
  return mutex;
}

int g_users = 0;        // guarded by library_mutex()
bool g_started = false;  // guarded by library_mutex()


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
  // The certificate index still makes its folder under the persistent
  // directory at start-up; under a path that cannot hold folders it makes
  // none, wherever SNMP_PERSISTENT_DIR or HOME point.
  set_persistent_directory("/dev/null");
  // The same for the configuration folders, where the certificate loader
  // would otherwise read every file under tls/ (private keys included).
  set_configuration_directory("/dev/null");
  static char no_modules[] = "mibs :";
  netsnmp_config_remember(no_modules);
  // Library messages go nowhere: the host owns its standard error.
  (void)netsnmp_register_loghandler(NETSNMP_LOGHANDLER_NONE, LOG_DEBUG);
  // The library's own look-ups of the environment (SNMPCONFPATH, MIBFILES,
  // MIBDIRS, ...) find nothing while it starts: see v3_environment.cpp.
  V3HiddenEnvironment hidden;
  init_snmp("");
}

}  // namespace

std::unique_lock<std::mutex> v3_library_lock() {
  return std::unique_lock<std::mutex>(library_mutex());
}

V3LibraryUse::V3LibraryUse() {
  std::lock_guard<std::mutex> lock(library_mutex());
  if (g_users++ == 0 && !g_started) {
    start_library();
    g_started = true;
  }
}

// The library stays started when the last user leaves: each start and
// shut-down of Net-SNMP 5.9 leaks the MIB parser's tables (4.8 kB a cycle,
// seen under LeakSanitizer), and a start costs more than the exchange.
V3LibraryUse::~V3LibraryUse() {
  std::lock_guard<std::mutex> lock(library_mutex());
  --g_users;
}

bool v3_library_started() {
  std::lock_guard<std::mutex> lock(library_mutex());
  return g_started;
}

int v3_library_users() {
  std::lock_guard<std::mutex> lock(library_mutex());
  return g_users;
}

}  // namespace orv::session
