#include "marker_names.h"

#include <orv/orv_ext.h>

#include "code_names.h"

namespace orvctl {
namespace {

constexpr Named kSupplyTypes[] = {{1, "other"},
                                  {2, "unknown"},
                                  {3, "toner"},
                                  {4, "wasteToner"},
                                  {5, "ink"},
                                  {6, "inkCartridge"},
                                  {7, "inkRibbon"},
                                  {8, "wasteInk"},
                                  {9, "opc"},
                                  {10, "developer"},
                                  {11, "fuserOil"},
                                  {12, "solidWax"},
                                  {13, "ribbonWax"},
                                  {14, "wasteWax"},
                                  {15, "fuser"},
                                  {16, "coronaWire"},
                                  {17, "fuserOilWick"},
                                  {18, "cleanerUnit"},
                                  {19, "fuserCleaningPad"},
                                  {20, "transferUnit"},
                                  {21, "tonerCartridge"},
                                  {22, "fuserOiler"},
                                  {23, "water"},
                                  {24, "wasteWater"},
                                  {25, "glueWaterAdditive"},
                                  {26, "wastePaper"},
                                  {27, "bindingSupply"},
                                  {28, "bandingSupply"},
                                  {29, "stitchingWire"},
                                  {30, "shrinkWrap"},
                                  {31, "paperWrap"},
                                  {32, "staples"},
                                  {33, "inserts"},
                                  {34, "covers"}};

constexpr Named kSupplyClasses[] = {
    {1, "other"}, {3, "supplyThatIsConsumed"}, {4, "receptacleThatIsFilled"}};

constexpr Named kCounterUnits[] = {{3, "tenThousandthsOfInches"},
                                   {4, "micrometers"},
                                   {5, "characters"},
                                   {6, "lines"},
                                   {7, "impressions"},
                                   {8, "sheets"},
                                   {9, "dotRow"},
                                   {11, "hours"},
                                   {16, "feet"},
                                   {17, "meters"}};

template <typename Table>
std::string name_or_number(const Table& table, int32_t code) {
  const std::string name = lookup(table, code);
  return name.empty() ? std::to_string(code) : name;
}

}  // namespace

std::string supply_type_name(int32_t code) { return name_or_number(kSupplyTypes, code); }
std::string supply_class_name(int32_t code) { return name_or_number(kSupplyClasses, code); }
std::string counter_unit_name(int32_t code) { return name_or_number(kCounterUnits, code); }

bool counter_unit_counts_pages(int32_t code) {
  return code == ORV_COUNTER_UNIT_IMPRESSIONS || code == ORV_COUNTER_UNIT_SHEETS;
}

}  // namespace orvctl
