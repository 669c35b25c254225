// The medium size table: paper sizes by their short and long edge in
// micrometres, and the conversions of a prtInputTable row's dimensions and
// levels into the option store's size code, direction and percent.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orv::device {

struct MediumSizeRow {
  int32_t code;
  int32_t short_edge;  // micrometres
  int32_t long_edge;
};

inline constexpr std::size_t kMediumSizeRows = 68;
extern const MediumSizeRow kMediumSizeTable[kMediumSizeRows];

// What a tray holds when no row fits.
inline constexpr int32_t kMediumSizeUnknown = 10000;
inline constexpr int32_t kMediumDirectionUnknown = 1;
// The feed direction runs along the cross-feed edge (feed < cross-feed).
inline constexpr int32_t kMediumDirectionShortEdgeFeed = 2;
// The feed direction runs along the longer or equal edge.
inline constexpr int32_t kMediumDirectionLongEdgeFeed = 3;

// prtInputDimUnit micrometres; prtInputCapacityUnit sheets.
inline constexpr long kDimUnitMicrometre = 4;
inline constexpr long kCapacityUnitSheets = 8;
// Both edges may differ from a row's by this much (inclusive).
inline constexpr long kMediumSizeTolerance = 2000;

// The first row, in table order, within the tolerance of both edges; null
// when none fits.
const MediumSizeRow* find_medium_size(long short_edge, long long_edge);

// For dimensions in micrometres, both 0 or more, that fit a row: writes its
// code and the direction (3 when the feed dimension is at least the
// cross-feed one, else 2) and returns true. Otherwise writes nothing.
bool medium_size_of(long dim_unit, long dim_feed, long dim_xfeed, long* code, long* direction);

// A level in percent, rounded to nearest: (level x 100 + 50) / maximum; -1
// when the level is negative or the maximum below 1.
long level_percent(long max_capacity, long current_level);

}  // namespace orv::device
