// Writes the trap fuzzer's seed corpus into the folder given as argument:
// SNMPv1 Traps and SNMPv2c notifications with bindings of every kind, and
// cuts of them.
#include "seed_folder.h"
#include "snmp/trap/trap_fixtures.h"

int main(int argc, char** argv) {
  using namespace orv;
  using namespace orv::testing;
  SeedFolder folder;
  if (!folder.open(argc, argv)) return 2;
  auto bindings = [] {
    return std::vector<Binding>{
        {"1.3.6.1.4.1.9999.1.1", create_smi_value_int32(kSmiInteger, -70000)},
        {"1.3.6.1.4.1.9999.1.2", create_smi_value_text(kSmiOctetString, "tray 2")},
        {"1.3.6.1.4.1.9999.1.3", create_oid_from_text("1.3.6.1.4.1.9999.77")},
        {"1.3.6.1.4.1.9999.1.4", create_smi_value_text(kSmiIpAddress, "192.0.2.7")},
        {"1.3.6.1.4.1.9999.1.5", create_smi_value_uint32(kSmiCounter32, 0xFFFFFFFFu)},
        {"1.3.6.1.4.1.9999.1.6", create_smi_value_uint32(kSmiGauge32, 128)},
        {"1.3.6.1.4.1.9999.1.7", create_smi_value(kSmiCounter64)},
        {"1.3.6.1.4.1.9999.1.8", create_smi_value_text(kSmiOpaque, "\x9f\x78")},
        {"1.3.6.1.4.1.9999.1.9", create_smi_value(kSmiNoSuchInstance)}};
  };
  const std::vector<std::vector<uint8_t>> messages = {
      v1_trap("1.3.6.1.4.1.253.8.0.17", 4242, bindings()),
      v1_trap("1.3.6.1.6.3.1.1.5.0.3", 1),
      v2c_notification(7, 4242, "1.3.6.1.4.1.253.8.0.5", bindings()),
      v2c_notification(8, 1, "1.3.6.1.6.3.1.1.5.1"),
  };
  for (const std::vector<uint8_t>& m : messages) {
    for (size_t cut : {m.size(), m.size() - 1, m.size() / 2}) {
      if (!folder.save(std::vector<uint8_t>(m.begin(), m.begin() + static_cast<ptrdiff_t>(cut)))) return 1;
    }
  }
  return folder.finish();
}
