// A one-line bar with the time left, drawn on standard error while a search
// of known length runs. Drawn only when standard error is a terminal.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace orvctl {

// The line for `elapsed_ms` of `total_ms`: "[#####-----]  1.5 s left" with a
// bar `width` characters wide. Elapsed time beyond the total shows a full bar
// and 0.0 s.
std::string format_progress(uint64_t elapsed_ms, uint64_t total_ms, int width);

class ProgressBar {
 public:
  // Starts drawing when `enabled`; otherwise does nothing at all.
  ProgressBar(bool enabled, uint64_t total_ms);
  ~ProgressBar();  // stops and erases the line
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void stop();

  static bool terminal_attached();

 private:
  void draw_loop();

  uint64_t total_ms_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace orvctl
