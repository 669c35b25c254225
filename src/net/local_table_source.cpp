#include "net/local_table_source.h"

#include <algorithm>
#include <tuple>

namespace orv::net {

void sort_routes(std::vector<RouteRecord>* routes) {
  std::stable_sort(routes->begin(), routes->end(), [](const RouteRecord& a, const RouteRecord& b) {
    return std::make_tuple(a.dest, ~a.mask, a.if_index) < std::make_tuple(b.dest, ~b.mask, b.if_index);
  });
}

void sort_addresses(std::vector<AddressRecord>* addresses) {
  std::stable_sort(addresses->begin(), addresses->end(),
                   [](const AddressRecord& a, const AddressRecord& b) {
                     return a.address < b.address;
                   });
}

}  // namespace orv::net
