/*
 * orv_ext.h: exports of liborv.so beyond the 36 of orv.h. Includable from
 * C99 and from C++; every function has C linkage.
 */
#ifndef ORV_ORV_EXT_H
#define ORV_ORV_EXT_H

#include "orv/orv.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The longest job identifier, in characters, that a job count keeps whole. */
#define ORV_JOB_IDENTIFIER_MAX 255

/* The whole identifier of the index-th job of the last OrvGetNumberOfJobInfo
 * (OrvJobInfo.job_id holds its first eight characters only), terminated,
 * into buffer (size bytes; ORV_JOB_IDENTIFIER_MAX + 1 always suffice).
 * Never talks to the printer. ORV_ERR_INVALID_ARG for a null handle or
 * buffer, or a buffer too small (nothing is then written);
 * ORV_ERR_NO_DEVICE before an open; ORV_ERR_INDEX_RANGE at or past the
 * count. An identifier holding a zero octet ends there. */
ORV_EXPORT int32_t OrvGetJobIdentifier(OrvHandle handle, uint32_t index, char* buffer,
                                       uint32_t size);

/* ------------------------------------------------------------------ */
/* Markers, supplies and the overall printer state. The count and record
 * functions work as the status functions of orv.h do: a count walks its
 * table afresh (one exchange per row plus one) and replaces what the last
 * count stored, leaving no records when it fails; a record function copies
 * from what the last count left (ORV_ERR_INDEX_RANGE at or past it) and
 * never talks to the printer. Integers a printer does not give read -1, the
 * Counter32 fields all bits set. */

/* Marker record, 24 bytes: one row of prtMarkerTable (1.3.6.1.2.1.43.10.2.1). */
typedef struct OrvMarkerInfo {
  int32_t marker_index;         /* prtMarkerIndex, the row's last index */
  int32_t marking_technology;   /* prtMarkerMarkTech */
  int32_t counter_unit;         /* prtMarkerCounterUnit (ORV_COUNTER_UNIT_*) */
  uint32_t life_count;          /* prtMarkerLifeCount, Counter32 */
  uint32_t power_on_count;      /* prtMarkerPowerOnCount, Counter32 */
  int32_t process_colorants;    /* prtMarkerProcessColorants */
} OrvMarkerInfo;

/* Supply record, 352 bytes: one row of prtMarkerSuppliesTable
 * (1.3.6.1.2.1.43.11.1.1), of every type. */
typedef struct OrvSupplyInfo {
  int32_t supply_index;         /* prtMarkerSuppliesIndex, the row's last index */
  int32_t marker_index;         /* prtMarkerSuppliesMarkerIndex */
  int32_t colorant_index;       /* prtMarkerSuppliesColorantIndex; 0: no colorant */
  int32_t supply_class;         /* prtMarkerSuppliesClass (ORV_SUPPLY_CLASS_*) */
  int32_t type;                 /* prtMarkerSuppliesType (ORV_SUPPLY_TYPE_*) */
  int32_t supply_unit;          /* prtMarkerSuppliesSupplyUnit */
  int32_t max_capacity;         /* prtMarkerSuppliesMaxCapacity (ORV_SUPPLY_LEVEL_*) */
  int32_t level;                /* prtMarkerSuppliesLevel (ORV_SUPPLY_LEVEL_*) */
  char description[256];        /* prtMarkerSuppliesDescription */
  char colorant[64];            /* prtMarkerColorantValue of colorant_index; empty for 0 */
} OrvSupplyInfo;

/* Overall printer state, 20 bytes (OrvGetPrinterState). */
typedef struct OrvPrinterState {
  int32_t state;                /* ORV_PRINTER_STATE_* */
  int32_t device_status;        /* hrDeviceStatus of the printer device; -1 unknown */
  int32_t printer_status;       /* hrPrinterStatus */
  uint32_t conditions;          /* hrPrinterDetectedErrorState: ORV_PRINTER_CONDITION_* */
  int32_t device_index;         /* hrDeviceIndex of the printer row read */
} OrvPrinterState;

ORV_STATIC_ASSERT(sizeof(OrvMarkerInfo) == 24, "OrvMarkerInfo is 24 bytes");
ORV_STATIC_ASSERT(offsetof(OrvMarkerInfo, marking_technology) == 4, "OrvMarkerInfo.marking_technology");
ORV_STATIC_ASSERT(offsetof(OrvMarkerInfo, counter_unit) == 8, "OrvMarkerInfo.counter_unit");
ORV_STATIC_ASSERT(offsetof(OrvMarkerInfo, life_count) == 12, "OrvMarkerInfo.life_count");
ORV_STATIC_ASSERT(offsetof(OrvMarkerInfo, power_on_count) == 16, "OrvMarkerInfo.power_on_count");
ORV_STATIC_ASSERT(offsetof(OrvMarkerInfo, process_colorants) == 20, "OrvMarkerInfo.process_colorants");

ORV_STATIC_ASSERT(sizeof(OrvSupplyInfo) == 352, "OrvSupplyInfo is 352 bytes");
ORV_STATIC_ASSERT(offsetof(OrvSupplyInfo, marker_index) == 4, "OrvSupplyInfo.marker_index");
ORV_STATIC_ASSERT(offsetof(OrvSupplyInfo, colorant_index) == 8, "OrvSupplyInfo.colorant_index");
ORV_STATIC_ASSERT(offsetof(OrvSupplyInfo, supply_class) == 12, "OrvSupplyInfo.supply_class");
ORV_STATIC_ASSERT(offsetof(OrvSupplyInfo, type) == 16, "OrvSupplyInfo.type");
ORV_STATIC_ASSERT(offsetof(OrvSupplyInfo, supply_unit) == 20, "OrvSupplyInfo.supply_unit");
ORV_STATIC_ASSERT(offsetof(OrvSupplyInfo, max_capacity) == 24, "OrvSupplyInfo.max_capacity");
ORV_STATIC_ASSERT(offsetof(OrvSupplyInfo, level) == 28, "OrvSupplyInfo.level");
ORV_STATIC_ASSERT(offsetof(OrvSupplyInfo, description) == 32, "OrvSupplyInfo.description");
ORV_STATIC_ASSERT(offsetof(OrvSupplyInfo, colorant) == 288, "OrvSupplyInfo.colorant");

ORV_STATIC_ASSERT(sizeof(OrvPrinterState) == 20, "OrvPrinterState is 20 bytes");
ORV_STATIC_ASSERT(offsetof(OrvPrinterState, device_status) == 4, "OrvPrinterState.device_status");
ORV_STATIC_ASSERT(offsetof(OrvPrinterState, printer_status) == 8, "OrvPrinterState.printer_status");
ORV_STATIC_ASSERT(offsetof(OrvPrinterState, conditions) == 12, "OrvPrinterState.conditions");
ORV_STATIC_ASSERT(offsetof(OrvPrinterState, device_index) == 16, "OrvPrinterState.device_index");

/* Overall states. A printer that is down because it is offline and for no
 * other condition is OFFLINE; down and warming up with no condition is
 * WARMING_UP (coming on-line); running and not printing (idle, or standby)
 * is IDLE. UNKNOWN when neither the device nor a condition tells. */
#define ORV_PRINTER_STATE_UNKNOWN 0
#define ORV_PRINTER_STATE_IDLE 1
#define ORV_PRINTER_STATE_PRINTING 2
#define ORV_PRINTER_STATE_WARMING_UP 3
#define ORV_PRINTER_STATE_WARNING 4     /* a non-critical condition: see conditions */
#define ORV_PRINTER_STATE_DOWN 5        /* a critical condition, or the device is down */
#define ORV_PRINTER_STATE_OFFLINE 6
#define ORV_PRINTER_STATE_TESTING 7
#define ORV_PRINTER_STATE_COUNT 8       /* one past the last state */

/* OrvPrinterState.conditions: bit n is bit n of hrPrinterDetectedErrorState
 * (bit 0 the most significant bit of its first octet). */
#define ORV_PRINTER_CONDITION_LOW_PAPER (1u << 0)
#define ORV_PRINTER_CONDITION_NO_PAPER (1u << 1)
#define ORV_PRINTER_CONDITION_LOW_TONER (1u << 2)
#define ORV_PRINTER_CONDITION_NO_TONER (1u << 3)
#define ORV_PRINTER_CONDITION_DOOR_OPEN (1u << 4)
#define ORV_PRINTER_CONDITION_JAMMED (1u << 5)
#define ORV_PRINTER_CONDITION_OFFLINE (1u << 6)
#define ORV_PRINTER_CONDITION_SERVICE_REQUESTED (1u << 7)
#define ORV_PRINTER_CONDITION_INPUT_TRAY_MISSING (1u << 8)
#define ORV_PRINTER_CONDITION_OUTPUT_TRAY_MISSING (1u << 9)
#define ORV_PRINTER_CONDITION_MARKER_SUPPLY_MISSING (1u << 10)
#define ORV_PRINTER_CONDITION_OUTPUT_NEAR_FULL (1u << 11)
#define ORV_PRINTER_CONDITION_OUTPUT_FULL (1u << 12)
#define ORV_PRINTER_CONDITION_INPUT_TRAY_EMPTY (1u << 13)
#define ORV_PRINTER_CONDITION_OVERDUE_PREVENT_MAINT (1u << 14)
#define ORV_PRINTER_CONDITION_COUNT 15  /* bits 0 to 14 */

/* Supply classes, the supply types this library names, and the special
 * levels and capacities of the Printer MIB. */
#define ORV_SUPPLY_CLASS_OTHER 1
#define ORV_SUPPLY_CLASS_CONSUMED 3     /* supplyThatIsConsumed */
#define ORV_SUPPLY_CLASS_FILLED 4       /* receptacleThatIsFilled (waste) */
#define ORV_SUPPLY_TYPE_TONER 3
#define ORV_SUPPLY_TYPE_WASTE_TONER 4
#define ORV_SUPPLY_TYPE_INK 5
#define ORV_SUPPLY_TYPE_OPC 9           /* photoconductor drum */
#define ORV_SUPPLY_TYPE_DEVELOPER 10
#define ORV_SUPPLY_TYPE_FUSER 15
#define ORV_SUPPLY_TYPE_TONER_CARTRIDGE 21
#define ORV_SUPPLY_LEVEL_UNRESTRICTED (-1)
#define ORV_SUPPLY_LEVEL_UNKNOWN (-2)
#define ORV_SUPPLY_LEVEL_SOME_LEFT (-3)

/* Marker counter units with a page-like or length meaning. */
#define ORV_COUNTER_UNIT_TEN_THOUSANDTHS_OF_INCHES 3
#define ORV_COUNTER_UNIT_MICROMETERS 4
#define ORV_COUNTER_UNIT_CHARACTERS 5
#define ORV_COUNTER_UNIT_LINES 6
#define ORV_COUNTER_UNIT_IMPRESSIONS 7
#define ORV_COUNTER_UNIT_SHEETS 8
#define ORV_COUNTER_UNIT_DOT_ROW 9
#define ORV_COUNTER_UNIT_HOURS 11
#define ORV_COUNTER_UNIT_FEET 16
#define ORV_COUNTER_UNIT_METERS 17

/* prtMarkerTable: one walk of its columns. ORV_ERR_INVALID_ARG for a null
 * handle or pointer, ORV_ERR_NO_DEVICE before an open; a printer without
 * the table counts 0. */
ORV_EXPORT int32_t OrvGetNumberOfMarkerInfo(OrvHandle handle, int32_t* count);
ORV_EXPORT int32_t OrvGetMarkerInfo(OrvHandle handle, uint32_t index, OrvMarkerInfo* record);

/* prtMarkerSuppliesTable, every supply: one walk of its columns, and when a
 * supply names a colorant, one walk of prtMarkerColorantValue. */
ORV_EXPORT int32_t OrvGetNumberOfSupplyInfo(OrvHandle handle, int32_t* count);
ORV_EXPORT int32_t OrvGetSupplyInfo(OrvHandle handle, uint32_t index, OrvSupplyInfo* record);

/* The overall state of the printer from the last hrPrinterTable row (as
 * OrvGetPrinterInfo reads it) and the hrDeviceStatus of the same device:
 * a walk of hrPrinterTable and one exchange. On failure *out is not
 * written; ORV_ERR_NO_VALUE when the printer has no hrPrinterTable row. */
ORV_EXPORT int32_t OrvGetPrinterState(OrvHandle handle, OrvPrinterState* out);

/* The state's name ("idle", "printing", "warming_up", "warning", "down",
 * "offline", "testing"; "unknown" for any other value) and the condition
 * bit's name as the MIB spells it ("lowPaper", ..., "overduePreventMaint";
 * NULL past the last). Static texts; never NULL for a state. */
ORV_EXPORT const char* OrvPrinterStateName(int32_t state);
ORV_EXPORT const char* OrvPrinterConditionName(uint32_t bit);

/* ------------------------------------------------------------------ */
/* Fewer exchanges per reading. */

/* Table walks of the handle's status functions (those of orv.h and the
 * above) with GetBulkRequests asking up to max_repetitions rows each: an
 * SNMPv3 handle keeps SNMPv3, a community handle speaks SNMPv2c. Each walk
 * asks one row more than the same table gave last time (at most
 * max_repetitions, and fewer when a row has many columns), so a table that
 * did not grow takes one exchange. 0 (the default) walks with GETNEXT over
 * SNMPv1. Kept across opens; takes effect at once. ORV_ERR_INVALID_ARG for
 * a null handle. */
ORV_EXPORT int32_t OrvSetBulkWalk(OrvHandle handle, uint32_t max_repetitions);

/* OrvGetNumberOfJobInfo without the localized texts: the job records
 * (OrvGetJobInfo, OrvGetJobIdentifier) hold everything else and empty
 * texts, and neither the texts nor the vendor character set are read
 * (one walk in all). */
ORV_EXPORT int32_t OrvGetNumberOfJobStates(OrvHandle handle, uint32_t kind, int32_t* count);

/* sysUpTime.0 of the open printer in hundredths of a second (one GET): a
 * value below an earlier one tells that the printer restarted since.
 * ORV_ERR_INVALID_ARG for a null handle or pointer, ORV_ERR_NO_DEVICE
 * before an open; on failure *ticks is not written. */
ORV_EXPORT int32_t OrvGetSysUpTime(OrvHandle handle, uint32_t* ticks);

#ifdef __cplusplus
}
#endif

#endif /* ORV_ORV_EXT_H */
