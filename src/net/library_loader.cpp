#include "net/library_loader.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include <string>

namespace orv::net {
namespace {

// The folder of the object that holds this code: liborv.so when installed, a
// test executable when the module libraries are linked statically.
std::string own_directory() {
  Dl_info info{};
  link_map* map = nullptr;
  if (dladdr1(reinterpret_cast<void*>(&qel_load_library), &info, reinterpret_cast<void**>(&map),
              RTLD_DL_LINKMAP) == 0 ||
      !map) {
    return {};
  }
  std::string path;
  if (map->l_name && map->l_name[0]) {
    path = map->l_name;
  } else {
    // The main program has no name in its map; the kernel knows its file.
    char exe[PATH_MAX] = {};
    ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length <= 0) return {};
    path.assign(exe, static_cast<size_t>(length));
  }
  // A library loaded through a relative name ("./liborv.so", a relative
  // LD_LIBRARY_PATH) has a relative map name; it is made absolute while the
  // working directory is still the one it was loaded from.
  char absolute[PATH_MAX] = {};
  if (path[0] != '/' && realpath(path.c_str(), absolute)) path = absolute;
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Taken when this object is loaded, before a host can change directory.
char g_own_directory[PATH_MAX] = {};

__attribute__((constructor)) void remember_own_directory() {
  std::string dir = own_directory();
  if (dir.size() < sizeof g_own_directory) {
    std::memcpy(g_own_directory, dir.c_str(), dir.size() + 1);
  }
}

std::string loaded_directory() {
  return g_own_directory[0] ? std::string(g_own_directory) : own_directory();
}

QelModule open_file(const std::string& path) { return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }

// Binaries built inside the build tree find the modules where the build puts
// them; installed binaries never look there.
QelModule open_from_build_tree(const std::string& own_dir, const char* name) {
#if defined(ORV_BUILD_ROOT) && defined(ORV_BUILD_MODULE_DIR)
  std::string root = ORV_BUILD_ROOT;
  if (own_dir.size() > root.size() && own_dir.compare(0, root.size(), root) == 0 &&
      own_dir[root.size()] == '/') {
    return open_file(std::string(ORV_BUILD_MODULE_DIR) + "/" + name);
  }
#else
  (void)own_dir;
  (void)name;
#endif
  return nullptr;
}

}  // namespace

QelModule qel_load_library(const char* name) {
  if (!name || !*name) return nullptr;
  std::string own_dir = loaded_directory();
  QelModule module = nullptr;
  if (!own_dir.empty()) module = open_file(own_dir + "/" + name);
  if (!module) module = open_file(name);
  if (!module) module = open_from_build_tree(own_dir, name);
  return module;
}

QelModule qel_load_library_path(const char* path) {
  if (!path || !*path) return nullptr;
  return open_file(path);
}

void qel_free_library(QelModule module) {
  if (module) dlclose(module);
}

void* qel_get_proc_address(QelModule module, const char* name, int32_t* error) {
  int32_t reason = kProcNotFound;
  void* entry = nullptr;
  link_map* own_map = nullptr;
  if (!module) {
    reason = kModuleNotFound;
  } else if (name && dlinfo(module, RTLD_DI_LINKMAP, &own_map) == 0) {
    void* candidate = dlsym(module, name);
    Dl_info info{};
    link_map* defining_map = nullptr;
    // dlsym also searches the module's dependencies; only the module's own
    // definition counts.
    if (candidate && dladdr1(candidate, &info, reinterpret_cast<void**>(&defining_map),
                             RTLD_DL_LINKMAP) != 0 &&
        defining_map == own_map) {
      entry = candidate;
    }
  }
  if (error) *error = entry ? 0 : reason;
  return entry;
}

}  // namespace orv::net
