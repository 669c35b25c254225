#include "progress_bar.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace orvctl {
namespace {

constexpr int kBarWidth = 30;
constexpr auto kRedrawPeriod = std::chrono::milliseconds(100);

}  // namespace

std::string format_progress(uint64_t elapsed_ms, uint64_t total_ms, int width) {
  const uint64_t done_ms = std::min(elapsed_ms, total_ms);
  const int filled =
      total_ms == 0 ? width : static_cast<int>(done_ms * static_cast<uint64_t>(width) / total_ms);
  const uint64_t left_ms = total_ms - done_ms;
  char left[32];
  std::snprintf(left, sizeof left, "%llu.%llu s left",
                static_cast<unsigned long long>(left_ms / 1000),
                static_cast<unsigned long long>(left_ms % 1000 / 100));
  // Appended piece by piece: `"[" + std::string(...)` inserts at the front,
  // where g++ 12 at -O3 reports a false -Wrestrict overlap.
  std::string line = "[";
  line.append(static_cast<size_t>(filled), '#');
  line.append(static_cast<size_t>(width - filled), '-');
  line.append("] ").append(left);
  return line;
}

bool ProgressBar::terminal_attached() { return isatty(STDERR_FILENO) == 1; }

ProgressBar::ProgressBar(bool enabled, uint64_t total_ms) : total_ms_(total_ms) {
  if (enabled) thread_ = std::thread([this] { draw_loop(); });
}

ProgressBar::~ProgressBar() { stop(); }

void ProgressBar::stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void ProgressBar::draw_loop() {
  const auto start = std::chrono::steady_clock::now();
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stopping_) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    std::fprintf(stderr, "\rsearching %s ",
                 format_progress(static_cast<uint64_t>(elapsed.count()), total_ms_, kBarWidth)
                     .c_str());
    std::fflush(stderr);
    wake_.wait_for(lock, kRedrawPeriod, [this] { return stopping_; });
  }
  std::fputs("\r\033[K", stderr);  // leave the terminal line clean for the results
  std::fflush(stderr);
}

}  // namespace orvctl
