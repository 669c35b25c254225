#include "net/iphelp_api.h"

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <type_traits>

#include "log/log.h"

namespace orv::net {
namespace {

constexpr const char* kLogCategory = "socket";
constexpr const char* kSetApiName = "NQelIpHelpAPI::set_api";

std::atomic<QelModule> g_module{nullptr};
std::mutex g_load_mutex;

template <auto& Slot>
void bind_entry(QelModule module, const char* name) {
  int32_t error = 0;
  void* address = qel_get_proc_address(module, name, &error);
  if (!address) {
    log::qel_log(kLogCategory, log::kError,
                 "[NQelIpHelpAPI::set_api] fail GetProcAddress \"%s\": GetLastError()=%d", name,
                 error);
  }
  Slot = reinterpret_cast<std::remove_reference_t<decltype(Slot)>>(address);
}

}  // namespace

QelModule NQelIpHelpAPI::open_module() {
  if (const char* path = secure_getenv(kIpHelpModuleEnv); path && *path) {
    return qel_load_library_path(path);
  }
  return qel_load_library(kIpHelpModuleName);
}

Result NQelIpHelpAPI::set_api(QelModule module) {
  log::qel_log(kLogCategory, log::kTrace, "[%s] enter.", kSetApiName);
  bind_entry<pfn_GetBestInterfaceEx>(module, "GetBestInterfaceEx");
  bind_entry<pfn_GetAdaptersInfo>(module, "GetAdaptersInfo");
  bind_entry<pfn_GetAdaptersAddresses>(module, "GetAdaptersAddresses");
  log::qel_log(kLogCategory, log::kTrace, "[%s] exit.", kSetApiName);
  return kOk;
}

Result NQelIpHelpAPI::load_library() {
  if (g_module.load(std::memory_order_acquire)) return kOk;
  std::lock_guard<std::mutex> lock(g_load_mutex);
  if (g_module.load(std::memory_order_relaxed)) return kOk;
  QelModule module = open_module();
  if (!module) return kErrLoad;
  set_api(module);
  g_module.store(module, std::memory_order_release);
  return kOk;
}

}  // namespace orv::net
