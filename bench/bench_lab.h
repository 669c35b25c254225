// The lab's agents for the benchmarks that need one: tests/support/orvlab.py
// run through the shell, its answer read back as text.
#pragma once

#include <cstdio>
#include <string>

#include <unistd.h>

namespace bench_lab {

// "…/tests/support/orvlab.py --owner PID": this process owns the agents it
// starts. The shell that popen runs exits at once, and other runs reap
// agents whose owner is gone.
inline const std::string& orvlab() {
  static const std::string command = [] {
    const std::string file = __FILE__;
    return file.substr(0, file.rfind("/bench/")) + "/tests/support/orvlab.py --owner " +
           std::to_string(getpid());
  }();
  return command;
}

// What `command` printed, without its trailing blanks and newlines.
inline std::string run_text(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char chunk[256];
    while (fgets(chunk, sizeof chunk, pipe)) out += chunk;
    pclose(pipe);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

}  // namespace bench_lab
