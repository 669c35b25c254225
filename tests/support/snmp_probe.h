// Just enough SNMP to probe a peer by hand: a v1/v2c GET and the fields of
// an answer. Independent of the library's codec on purpose.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orv::test {

// version 0 is SNMPv1, 1 is SNMPv2c.
std::vector<uint8_t> snmp_get_request(int32_t request_id, const std::string& community,
                                      const std::vector<std::string>& oids, int version = 0);

// A GetResponse of one binding whose value is an OBJECT IDENTIFIER, as an
// agent answers a GET of sysObjectID.0.
std::vector<uint8_t> snmp_oid_response(int32_t request_id, const std::string& community,
                                       const std::string& name, const std::string& value,
                                       int version = 0);

struct SnmpReply {
  int pdu_tag = 0;  // 0xA2 for a response
  int32_t request_id = 0;
  int32_t error_status = 0;
  int32_t error_index = 0;
  std::vector<std::string> oids;
  std::vector<std::string> octet_values;  // OCTET STRING values as text, else ""
};

// nullopt when the bytes are no well-formed SNMP message.
std::optional<SnmpReply> parse_snmp_reply(const std::vector<uint8_t>& bytes);

}  // namespace orv::test
