#include "media_names.h"

#include <array>
#include <utility>

#include "code_names.h"

namespace orvctl {
namespace {

// The library's medium size codes with the names people use for them.
constexpr std::array kMediumSizes = {
    Named{1, "Letter"},          Named{2, "Legal"},
    Named{3, "10x13 in"},        Named{4, "9x12 in"},
    Named{5, "Envelope #10"},    Named{6, "7x9 in"},
    Named{7, "9x11 in"},         Named{8, "10x14 in"},
    Named{10, "6x9 in"},         Named{11, "10x15 in"},
    Named{15, "ANSI C"},         Named{16, "ANSI D"},
    Named{17, "ANSI E"},         Named{21, "A0"},
    Named{22, "A1"},             Named{23, "A2"},
    Named{24, "A3"},             Named{25, "A4"},
    Named{26, "A5"},             Named{27, "A6"},
    Named{28, "A7"},             Named{29, "A8"},
    Named{30, "A9"},             Named{31, "A10"},
    Named{41, "B0"},             Named{42, "B1"},
    Named{43, "B2"},             Named{44, "B3"},
    Named{45, "B4"},             Named{46, "B5"},
    Named{47, "B6"},             Named{48, "B7"},
    Named{49, "B8"},             Named{50, "B9"},
    Named{51, "B10"},            Named{61, "C0"},
    Named{62, "C1"},             Named{63, "C2"},
    Named{64, "C3"},             Named{65, "C4"},
    Named{66, "C5"},             Named{67, "C6"},
    Named{68, "C7"},             Named{69, "C8"},
    Named{70, "DL"},             Named{81, "JIS B0"},
    Named{82, "JIS B1"},         Named{83, "JIS B2"},
    Named{84, "JIS B3"},         Named{85, "JIS B4"},
    Named{86, "JIS B5"},         Named{87, "JIS B6"},
    Named{88, "JIS B7"},         Named{89, "JIS B8"},
    Named{90, "JIS B9"},         Named{91, "JIS B10"},
    Named{10001, "Tabloid"},     Named{10002, "Folio"},
    Named{10003, "Postcard"},    Named{10005, "8K"},
    Named{10006, "16K"},         Named{10007, "Statement"},
    Named{10008, "8x10 in"},     Named{10009, "12x18 in"},
    Named{10010, "12x19 in"},    Named{10011, "320x457 mm"},
    Named{10012, "SRA3"},        Named{10013, "Envelope Chou 3"},
};

// prtInputType of the Printer MIB.
constexpr std::array kInputTypes = {
    Named{1, "other"},
    Named{2, "unknown"},
    Named{3, "removable tray"},
    Named{4, "fixed tray"},
    Named{5, "manual feed"},
    Named{6, "roll"},
    Named{7, "fan-fold"},
};

// The library reports 3 when the feed-direction edge is the longer one, so the
// sheet enters short edge first.
constexpr std::array kDirections = {
    Named{2, "long-edge feed"},
    Named{3, "short-edge feed"},
};

}  // namespace

std::string medium_size_name(int32_t code) { return lookup(kMediumSizes, code); }
std::string input_type_name(int32_t type) { return lookup(kInputTypes, type); }
std::string medium_direction_name(int32_t direction) { return lookup(kDirections, direction); }

}  // namespace orvctl
