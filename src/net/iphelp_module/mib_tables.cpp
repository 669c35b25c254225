#include "iphelp_module/mib_tables.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <tuple>
#include <vector>

#include "iphelp_module/netlink_snapshot.h"

namespace orv::iphelp {
namespace {

constexpr uint32_t kAdminUp = 1;
constexpr uint32_t kAdminDown = 2;
constexpr uint32_t kReassemblySize = 65535;

// Copies `rows` into a table block, or reports the size it needs.
template <typename Table, typename Row>
uint32_t hand_out(Table* table, uint32_t* size, const std::vector<Row>& rows) {
  size_t needed = net::table_size_for<Table>(rows.size());
  if (!table || *size < needed) {
    *size = static_cast<uint32_t>(needed);
    return net::kIpHelpInsufficientBuffer;
  }
  table->num_entries = static_cast<uint32_t>(rows.size());
  if (!rows.empty()) std::memcpy(table->table, rows.data(), rows.size() * sizeof(Row));
  return net::kIpHelpOk;
}

}  // namespace

uint32_t forward_table(net::QelIpForwardTable* table, uint32_t* size, bool order) {
  if (!size) return net::kIpHelpInvalidParameter;
  std::vector<Route> routes;
  if (!read_ipv4_routes(&routes)) return net::kIpHelpGenFailure;
  std::vector<net::QelIpForwardRow> rows;
  for (const Route& route : routes) {
    net::QelIpForwardRow row{};
    row.dest = route.dest;
    row.mask = route.mask;
    row.next_hop = route.next_hop;
    row.if_index = route.if_index;
    row.type = route.type;
    row.proto = route.proto;
    row.metric1 = route.metric;
    rows.push_back(row);
  }
  if (order) {
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
      return std::make_tuple(ntohl(a.dest), ntohl(a.mask), a.metric1, a.if_index) <
             std::make_tuple(ntohl(b.dest), ntohl(b.mask), b.metric1, b.if_index);
    });
  }
  return hand_out(table, size, rows);
}

uint32_t interface_count(uint32_t* count) {
  if (!count) return net::kIpHelpInvalidParameter;
  std::vector<Link> links;
  if (!read_links(&links)) return net::kIpHelpGenFailure;
  *count = static_cast<uint32_t>(links.size());
  return net::kIpHelpOk;
}

uint32_t interface_table(net::QelIfTable* table, uint32_t* size, bool order) {
  if (!size) return net::kIpHelpInvalidParameter;
  std::vector<Link> links;
  if (!read_links(&links)) return net::kIpHelpGenFailure;
  std::vector<net::QelIfRow> rows;
  for (const Link& link : links) {
    net::QelIfRow row{};
    std::snprintf(row.name, sizeof row.name, "%s", link.name.c_str());
    std::snprintf(row.descr, sizeof row.descr, "%s", link.name.c_str());
    row.descr_len = static_cast<uint32_t>(std::strlen(row.descr));
    row.index = link.index;
    row.type = link.type;
    row.mtu = link.mtu;
    row.phys_addr_len = link.mac_length;
    std::memcpy(row.phys_addr, link.mac.data(), link.mac_length);
    row.admin_status = link.up() ? kAdminUp : kAdminDown;
    row.oper_status = link.up() ? net::kIfOperStatusUp : net::kIfOperStatusDown;
    rows.push_back(row);
  }
  if (order) {
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return a.index < b.index; });
  }
  return hand_out(table, size, rows);
}

uint32_t address_table(net::QelIpAddrTable* table, uint32_t* size, bool order) {
  if (!size) return net::kIpHelpInvalidParameter;
  std::vector<Address> addresses;
  if (!read_addresses(AF_INET, &addresses)) return net::kIpHelpGenFailure;
  std::vector<net::QelIpAddrRow> rows;
  for (const Address& address : addresses) {
    net::QelIpAddrRow row{};
    std::memcpy(&row.addr, address.bytes.data(), 4);
    row.index = address.index;
    row.mask = mask_from_prefix(address.prefix_length);
    row.bcast_addr = 1;  // IPv4 broadcasts set all host bits
    row.reasm_size = kReassemblySize;
    rows.push_back(row);
  }
  if (order) {
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return ntohl(a.addr) < ntohl(b.addr); });
  }
  return hand_out(table, size, rows);
}

}  // namespace orv::iphelp
