// The scripted SNMP peer: started through orvlab, its datagram log read back.
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "support/lab.h"

namespace orv::test {
namespace {

std::string new_log_path() {
  std::string path = "/tmp/orv-peer-XXXXXX";
  int fd = mkstemp(path.data());
  if (fd < 0) throw std::runtime_error("mkstemp failed for the peer log");
  close(fd);
  return path;
}

std::vector<uint8_t> from_hex(const std::string& hex) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

}  // namespace

ScriptedPeer::ScriptedPeer(std::string bind, std::vector<std::string> modes, std::string netns)
    : bind_(std::move(bind)), log_(new_log_path()) {
  std::vector<std::string> args = {"peer", "start", "--bind", bind_, "--log", log_};
  for (const auto& m : modes) {
    args.push_back("--mode");
    args.push_back(m);
  }
  if (!netns.empty()) {
    args.push_back("--netns");
    args.push_back(netns);
  }
  try {
    start(args);
  } catch (...) {
    unlink(log_.c_str());
    throw;
  }
}

ScriptedPeer::~ScriptedPeer() {
  stop();
  unlink(log_.c_str());
}

std::vector<PeerDatagram> ScriptedPeer::datagrams() const {
  std::vector<PeerDatagram> out;
  std::ifstream in(log_);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    PeerDatagram d;
    std::string hex;
    // A line still being written lacks its bytes; it is read next time.
    if (!(fields >> d.count >> d.sender >> hex)) continue;
    d.bytes = from_hex(hex);
    out.push_back(std::move(d));
  }
  return out;
}

bool ScriptedPeer::wait_for_datagrams(size_t n, int timeout_ms) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (datagrams().size() < n) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace orv::test
