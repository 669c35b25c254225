// Where a seed program writes: the folder named by its one argument, one
// numbered file per seed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace orv::testing {

class SeedFolder {
 public:
  // False (after the usage line) unless exactly one argument was given.
  bool open(int argc, char** argv) {
    if (argc != 2) {
      std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
      return false;
    }
    dir_ = argv[1];
    return true;
  }
  bool save(const std::vector<uint8_t>& bytes) {
    std::ofstream out(dir_ + "/seed-" + std::to_string(written_++), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
  }
  int finish() const {
    std::printf("%d seeds in %s\n", written_, dir_.c_str());
    return 0;
  }

 private:
  std::string dir_;
  int written_ = 0;
};

}  // namespace orv::testing
