#include "device/medium_size_table.h"

#include <cstdint>

#include "device/dev_comm_option.h"

namespace orv::device {

const MediumSizeRow kMediumSizeTable[kMediumSizeRows] = {
    // North American sizes.
    {1, 215900, 279400},
    {2, 215900, 355600},
    {3, 254000, 330200},
    {4, 228600, 304800},
    {5, 104775, 241300},
    {6, 177800, 228600},
    {7, 228600, 279400},
    {8, 254000, 355600},
    {10, 152400, 228600},
    {11, 254000, 381000},
    {15, 431800, 558800},
    {16, 558800, 863600},
    {17, 863600, 1117600},
    // ISO A0 to A10.
    {21, 841000, 1189000},
    {22, 594000, 841000},
    {23, 420000, 594000},
    {24, 297000, 420000},
    {25, 210000, 297000},
    {26, 148000, 210000},
    {27, 105000, 148000},
    {28, 74000, 105000},
    {29, 52000, 74000},
    {30, 37000, 52000},
    {31, 26000, 37000},
    // ISO B0 to B10.
    {41, 1000000, 1414000},
    {42, 707000, 1000000},
    {43, 500000, 707000},
    {44, 353000, 500000},
    {45, 250000, 353000},
    {46, 176000, 250000},
    {47, 125000, 176000},
    {48, 88000, 125000},
    {49, 62000, 88000},
    {50, 44000, 62000},
    {51, 31000, 44000},
    // ISO C0 to C8 and DL.
    {61, 917000, 1297000},
    {62, 648000, 917000},
    {63, 458000, 648000},
    {64, 324000, 458000},
    {65, 229000, 324000},
    {66, 162000, 229000},
    {67, 114000, 162000},
    {68, 81000, 114000},
    {69, 57000, 81000},
    {70, 110000, 220000},
    // JIS B0 to B10.
    {81, 1030000, 1456000},
    {82, 728000, 1030000},
    {83, 515000, 728000},
    {84, 364000, 515000},
    {85, 257000, 364000},
    {86, 182000, 257000},
    {87, 128000, 182000},
    {88, 91000, 128000},
    {89, 64000, 91000},
    {90, 45000, 64000},
    {91, 32000, 45000},
    // Further sizes.
    {10001, 279400, 431800},
    {10002, 215900, 330200},
    {10003, 100000, 148000},
    {10005, 267000, 388000},
    {10006, 194000, 267000},
    {10007, 140000, 215900},
    {10008, 203200, 254000},
    {10009, 304800, 457200},
    {10010, 304800, 482600},
    {10011, 320000, 457200},
    {10012, 320000, 450000},
    {10013, 120000, 235000},
};

namespace {

bool within_tolerance(long edge, int32_t row_edge) {
  const int64_t difference = static_cast<int64_t>(edge) - row_edge;
  return difference >= -kMediumSizeTolerance && difference <= kMediumSizeTolerance;
}

}  // namespace

const MediumSizeRow* find_medium_size(long short_edge, long long_edge) {
  for (const MediumSizeRow& row : kMediumSizeTable) {
    if (within_tolerance(short_edge, row.short_edge) &&
        within_tolerance(long_edge, row.long_edge)) {
      return &row;
    }
  }
  return nullptr;
}

bool medium_size_of(long dim_unit, long dim_feed, long dim_xfeed, long* code, long* direction) {
  if (dim_unit != kDimUnitMicrometre || dim_feed < 0 || dim_xfeed < 0) return false;
  const long short_edge = dim_feed < dim_xfeed ? dim_feed : dim_xfeed;
  const long long_edge = dim_feed < dim_xfeed ? dim_xfeed : dim_feed;
  const MediumSizeRow* row = find_medium_size(short_edge, long_edge);
  if (row == nullptr) return false;
  *code = row->code;
  *direction =
      dim_feed >= dim_xfeed ? kMediumDirectionLongEdgeFeed : kMediumDirectionShortEdgeFeed;
  return true;
}

long level_percent(long max_capacity, long current_level) {
  if (current_level < 0 || max_capacity < 1) return -1;
  // Levels and capacities are 32-bit MIB values: the 64-bit product cannot
  // overflow.
  return static_cast<long>((static_cast<int64_t>(current_level) * 100 + 50) / max_capacity);
}

}  // namespace orv::device

void COrvDevCommOption::MediaDimensionToMediumSize(long dim_unit, long dim_feed, long dim_xfeed,
                                                   long* medium_size, long* medium_direction) {
  if (medium_size == nullptr || medium_direction == nullptr) return;
  orv::device::medium_size_of(dim_unit, dim_feed, dim_xfeed, medium_size, medium_direction);
}

void COrvDevCommOption::ConvertMediumLevel(long capacity_unit, long max_capacity,
                                           long current_level, long* out_max_capacity,
                                           long* out_percent) {
  if (capacity_unit != orv::device::kCapacityUnitSheets) return;
  if (out_max_capacity != nullptr) *out_max_capacity = max_capacity;
  if (out_percent != nullptr) *out_percent = orv::device::level_percent(max_capacity, current_level);
}
