// The process-wide IP-helper function table: adapter lists and the best
// interface towards a destination, from the IP-helper module loaded by name
// on first need. A caller checks an entry before calling it and treats a
// missing one as not supported.
#pragma once

#include "net/iphelp_types.h"
#include "net/library_loader.h"
#include "result_codes.h"

namespace orv::net {

inline constexpr const char* kIpHelpModuleName = "liborv-iphelp.so";
// Test-only: a module file loaded instead of the name above.
inline constexpr const char* kIpHelpModuleEnv = "ORV_IPHELP_MODULE";

class NQelIpHelpAPI {
 public:
  // In load order; a missing entry is logged and stays nullptr.
  static inline PfnGetBestInterfaceEx pfn_GetBestInterfaceEx = nullptr;
  static inline PfnGetAdaptersInfo pfn_GetAdaptersInfo = nullptr;
  static inline PfnGetAdaptersAddresses pfn_GetAdaptersAddresses = nullptr;

  // Fills the table from `module`; always 0.
  static Result set_api(QelModule module);

  // Makes sure the module is loaded and the table filled: 0 or -10.
  static Result load_library();

  // A new reference to the IP-helper module (the test override included),
  // for readers of its other entries; nullptr when it cannot be loaded.
  static QelModule open_module();
};

}  // namespace orv::net
