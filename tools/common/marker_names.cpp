#include "marker_names.h"

#include <array>

#include "code_names.h"
#include "status_names.h"

namespace orvctl {
namespace {

constexpr std::array kMarkingTechnologies = {
    Named{1, "other"},
    Named{2, "unknown"},
    Named{3, "electrophotographicLED"},
    Named{4, "electrophotographicLaser"},
    Named{5, "electrophotographicOther"},
    Named{6, "impactMovingHeadDotMatrix9pin"},
    Named{7, "impactMovingHeadDotMatrix24pin"},
    Named{8, "impactMovingHeadDotMatrixOther"},
    Named{9, "impactMovingHeadFullyFormed"},
    Named{10, "impactBand"},
    Named{11, "impactOther"},
    Named{12, "inkjetAqueous"},
    Named{13, "inkjetSolid"},
    Named{14, "inkjetOther"},
    Named{15, "pen"},
    Named{16, "thermalTransfer"},
    Named{17, "thermalSensitive"},
    Named{18, "thermalDiffusion"},
    Named{19, "thermalOther"},
    Named{20, "electroerosion"},
    Named{21, "electrostatic"},
    Named{22, "photographicMicrofiche"},
    Named{23, "photographicImagesetter"},
    Named{24, "photographicOther"},
    Named{25, "ionDeposition"},
    Named{26, "eBeam"},
    Named{27, "typesetter"}};

constexpr std::array kCounterUnits = {
    Named{3, "tenThousandthsOfInches"}, Named{4, "micrometers"}, Named{5, "characters"},
    Named{6, "lines"},  Named{7, "impressions"}, Named{8, "sheets"},
    Named{9, "dotRow"}, Named{11, "hours"},      Named{16, "feet"},
    Named{17, "meters"}};

constexpr std::array kSupplyClasses = {Named{1, "other"}, Named{3, "supplyThatIsConsumed"},
                                       Named{4, "receptacleThatIsFilled"}};

constexpr std::array kSupplyTypes = {
    Named{1, "other"},          Named{2, "unknown"},       Named{3, "toner"},
    Named{4, "wasteToner"},     Named{5, "ink"},           Named{6, "inkCartridge"},
    Named{7, "inkRibbon"},      Named{8, "wasteInk"},      Named{9, "opc"},
    Named{10, "developer"},     Named{11, "fuserOil"},     Named{12, "solidWax"},
    Named{13, "ribbonWax"},     Named{14, "wasteWax"},     Named{15, "fuser"},
    Named{16, "coronaWire"},    Named{17, "fuserOilWick"}, Named{18, "cleanerUnit"},
    Named{19, "fuserCleaningPad"}, Named{20, "transferUnit"}, Named{21, "tonerCartridge"},
    Named{22, "fuserOiler"},    Named{23, "water"},        Named{24, "wasteWater"},
    Named{25, "glueWaterAdditive"}, Named{26, "wastePaper"}, Named{27, "bindingSupply"},
    Named{28, "bandingSupply"}, Named{29, "stitchingWire"}, Named{30, "shrinkWrap"},
    Named{31, "paperWrap"},     Named{32, "staples"},      Named{33, "inserts"},
    Named{34, "covers"}};

constexpr std::array kSupplyUnits = {
    Named{3, "tenThousandthsOfInches"}, Named{4, "micrometers"},
    Named{7, "impressions"},            Named{8, "sheets"},
    Named{11, "hours"},                 Named{12, "thousandthsOfOunces"},
    Named{13, "tenthsOfGrams"},         Named{14, "hundrethsOfFluidOunces"},
    Named{15, "tenthsOfMilliliters"},   Named{16, "feet"},
    Named{17, "meters"},                Named{18, "items"},
    Named{19, "percent"}};

}  // namespace

std::string marking_technology_name(int32_t code) {
  return named(kMarkingTechnologies, code);
}
std::string counter_unit_name(int32_t code) { return named(kCounterUnits, code); }
std::string supply_class_name(int32_t code) { return named(kSupplyClasses, code); }
std::string supply_type_name(int32_t code) { return named(kSupplyTypes, code); }
std::string supply_unit_name(int32_t code) { return named(kSupplyUnits, code); }
std::string supply_type_word(int32_t code) { return lookup(kSupplyTypes, code); }

}  // namespace orvctl
