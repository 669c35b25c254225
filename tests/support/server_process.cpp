#include "support/server_process.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "support/http_get.h"
#include "support/lab.h"

namespace orv::test {
namespace {

constexpr int kReadyTimeoutMs = 30000;

}  // namespace

ServerProcess::ServerProcess(const ServerStart& start) : netns_(start.netns) {
  std::string pattern = (std::filesystem::temp_directory_path() / ("orv-" + start.name + "-XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  dir_ = pattern;
  try {
    if (start.prepare) start.prepare(dir_);
    run_in_netns(netns_, [&] { port_ = free_tcp_port(); });
    process_ = std::make_unique<ChildProcess>(
        ChildOptions{.argv = start.argv(dir_, port_),
                     .netns = netns_,
                     .env = start.env,
                     .log_path = dir_ + "/output.log"});
    if (!wait_for_http(*process_, netns_, port_, start.ready_path, kReadyTimeoutMs)) {
      throw std::runtime_error(start.name + " did not start serving:\n" + process_->output());
    }
  } catch (...) {
    process_.reset();
    std::filesystem::remove_all(dir_);
    throw;
  }
}

ServerProcess::~ServerProcess() {
  process_.reset();
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

}  // namespace orv::test
