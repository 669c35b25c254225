// Every printer file in tests/data is sorted and served whole by snmpsimd
// (and by snmpd for load tests): a Net-SNMP walk gives back each line, in
// order.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "support/lab.h"

namespace orv::test {
namespace {

struct Line {
  std::string oid;
  std::string tag;
  std::string value;
};

std::vector<Line> read_file(const std::string& path) {
  std::vector<Line> lines;
  std::ifstream in(path);
  std::string text;
  while (std::getline(in, text)) {
    size_t a = text.find('|');
    size_t b = text.find('|', a + 1);
    std::string oid = ".";
    oid += text.substr(0, a);
    lines.push_back({oid, text.substr(a + 1, b - a - 1), text.substr(b + 1)});
  }
  return lines;
}

std::vector<std::string> printer_names() {
  std::vector<std::string> names;
  DIR* dir = opendir(data_dir().c_str());
  if (dir == nullptr) return names;
  while (dirent* e = readdir(dir)) {
    std::string n = e->d_name;
    if (n.size() > 8 && n.ends_with(".snmprec")) names.push_back(n.substr(0, n.size() - 8));
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<uint64_t> arcs(const std::string& oid) {
  std::vector<uint64_t> out;
  std::istringstream in(oid.substr(1));
  std::string part;
  while (std::getline(in, part, '.')) out.push_back(std::stoull(part));
  return out;
}

// What `snmpwalk -On -Oq -Ot` prints for a file value of this tag.
std::string printed(const Line& line) {
  std::string tag = line.tag.substr(0, line.tag.find(':'));
  if (line.tag.find(":writecache") != std::string::npos) return line.value.substr(line.value.find('=') + 1);
  if (tag == "4") return "\"" + line.value + "\"";
  if (tag == "6") return "." + line.value;
  return line.value;
}

TEST(DataFiles, EveryPrinterIsThere) {
  EXPECT_EQ(printer_names(),
            (std::vector<std::string>{"other-vendor", "printer-a", "printer-b",
                                      "printer-badutf8", "printer-badversion", "printer-down",
                                      "printer-idle", "printer-latin1", "printer-manytrays",
                                      "printer-missingtext", "printer-offline", "printer-prefix61",
                                      "printer-printing", "printer-rowindex", "printer-short16",
                                      "printer-sjis", "printer-testing", "printer-warmup"}));
}

TEST(DataFiles, EachFileIsSortedByOid) {
  for (const auto& name : printer_names()) {
    auto lines = read_file(data_file(name));
    ASSERT_GT(lines.size(), 100u) << name << " is no full MIB";
    for (size_t i = 1; i < lines.size(); ++i) {
      EXPECT_LT(arcs(lines[i - 1].oid), arcs(lines[i].oid)) << name << " line " << i + 1;
    }
  }
}

// Walks the agent with Net-SNMP and expects the file's lines, in order. A
// Net-SNMP agent adds its own engine objects after them and serves IpAddress
// values as text.
void expect_walk_serves(const std::string& address, const std::string& community,
                        const std::string& name, bool net_snmp) {
  auto lines = read_file(data_file(name));
  RunResult walk = run({"snmpwalk", "-v1", "-On", "-Oq", "-Ot", "-t", "1", "-r", "1", "-c", community,
                        address, ".1"});
  ASSERT_EQ(walk.exit_code, 0) << name << ": " << walk.err;
  std::istringstream out(walk.out);
  std::string got;
  size_t i = 0;
  while (std::getline(out, got) && got != "End of MIB" && !(net_snmp && i == lines.size())) {
    ASSERT_LT(i, lines.size()) << name << " served more than its file: " << got;
    const Line& want = lines[i++];
    std::string oid = got.substr(0, got.find(' '));
    EXPECT_EQ(oid, want.oid) << name;
    // Hex strings print in another form; their OIDs are still compared.
    if (want.tag != "4x") {
      const std::string value = net_snmp && want.tag == "64" ? "\"" + want.value + "\"" : printed(want);
      EXPECT_EQ(got.substr(got.find(' ') + 1), value) << name << " " << oid;
    }
  }
  EXPECT_EQ(i, lines.size()) << name;
}

TEST(DataFiles, SnmpsimdServesEveryLineOfEveryFile) {
  ORV_REQUIRE_LAB(true, {"snmpsimd", "snmpwalk"});
  const std::string address = free_loopback_address();
  SnmpsimAgent agent({.endpoints = {address + ":161"}});
  for (const auto& name : printer_names()) expect_walk_serves(address, name, name, false);
}

TEST(DataFiles, SnmpdServesEveryLineOfAPrinterFile) {
  ORV_REQUIRE_LAB(true, {"snmpd", "snmpwalk"});
  for (const std::string name : {"printer-a", "printer-b"}) {
    const std::string address = free_loopback_address();
    SnmpdAgent agent({.addresses = {address}, .data_file = data_file(name)});
    expect_walk_serves(address, "public", name, true);
  }
}

}  // namespace
}  // namespace orv::test
