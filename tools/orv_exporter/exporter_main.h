// The program: flags, configuration, serving until SIGINT or SIGTERM.
#pragma once

namespace orv_exporter {

inline constexpr const char* kDefaultConfigFile = "/etc/orv/orv_exporter.yml";

// Returns the process exit status: 0 after a clean stop, 1 when the
// configuration or the listening address is unusable, 2 on a usage error.
int run_exporter(int argc, char** argv);

}  // namespace orv_exporter
