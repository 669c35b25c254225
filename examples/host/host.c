/* orv_host: opens the printer given on the command line and prints its
 * options, toner levels, overall state, page counters and supplies through
 * liborv's C interface.
 *
 *   orv_host ADDRESS [COMMUNITY]
 *
 * ADDRESS is an IPv4 or IPv6 address or a host name; COMMUNITY is the
 * SNMPv1 community to read with ("public" when omitted). */
#include <stdio.h>
#include <string.h>

#include <orv/orv.h>
#include <orv/orv_ext.h>

enum { TIMEOUT_MS = 2000, RETRIES = 1 };

enum option_type { OPTION_TEXT, OPTION_INTEGER, OPTION_BOOLEAN };

static const struct {
  const char* key;
  enum option_type type;
} options[] = {
    {"SysName", OPTION_TEXT},          {"PrinterRomVersion", OPTION_TEXT},
    {"MemorySizeInMByte", OPTION_INTEGER}, {"HardDisk", OPTION_BOOLEAN},
    {"DuplexModule", OPTION_BOOLEAN},  {"NumberOfInputTray", OPTION_INTEGER},
};

static int print_option(OrvHandle handle, const char* key, enum option_type type) {
  char text[ORV_OPTION_TEXT_SIZE] = "";
  int32_t integer = 0;
  int16_t boolean = 0;
  int32_t rc;
  switch (type) {
    case OPTION_TEXT:
      rc = OrvGetOptionValueString(handle, key, 0, text);
      text[sizeof text - 1] = '\0';
      break;
    case OPTION_INTEGER:
      rc = OrvGetOptionValueInteger(handle, key, 0, &integer);
      snprintf(text, sizeof text, "%d", (int)integer);
      break;
    default:
      rc = OrvGetOptionValueBoolean(handle, key, 0, &boolean);
      snprintf(text, sizeof text, "%s", boolean ? "yes" : "no");
      break;
  }
  if (rc != ORV_OK) {
    fprintf(stderr, "option %s: %d\n", key, (int)rc);
    return 1;
  }
  printf("  %-24s %s\n", key, text);
  return 0;
}

static int print_toners(OrvHandle handle) {
  int32_t count = 0;
  int32_t rc = OrvGetNumberOfTonerInfo(handle, &count);
  int32_t i;
  if (rc != ORV_OK) {
    fprintf(stderr, "toner table: %d\n", (int)rc);
    return 1;
  }
  printf("Toner\n");
  for (i = 0; i < count; ++i) {
    OrvTonerInfo toner;
    rc = OrvGetTonerInfo(handle, (uint32_t)i, &toner);
    if (rc != ORV_OK) {
      fprintf(stderr, "toner %d: %d\n", (int)i, (int)rc);
      return 1;
    }
    toner.description[sizeof toner.description - 1] = '\0';
    /* Negative levels are the Printer MIB's "unknown" and "some remaining". */
    if (toner.level >= 0 && toner.max_capacity > 0)
      printf("  %-24s %d %%\n", toner.description, (int)(toner.level * 100 / toner.max_capacity));
    else
      printf("  %-24s level %d\n", toner.description, (int)toner.level);
  }
  return 0;
}

/* A level as a percent of its capacity, or the Printer MIB's special value. */
static void print_level(int32_t level, int32_t max_capacity) {
  if (level >= 0 && max_capacity > 0)
    printf("%d %%\n", (int)((int64_t)level * 100 / max_capacity));
  else if (level == ORV_SUPPLY_LEVEL_SOME_LEFT)
    printf("some left\n");
  else
    printf("level %d\n", (int)level);
}

static int print_state(OrvHandle handle) {
  OrvPrinterState state;
  uint32_t bit;
  int32_t rc = OrvGetPrinterState(handle, &state);
  if (rc != ORV_OK) {
    fprintf(stderr, "printer state: %d\n", (int)rc);
    return 1;
  }
  printf("State\n  %s", OrvPrinterStateName(state.state));
  for (bit = 0; bit < ORV_PRINTER_CONDITION_COUNT; ++bit)
    if (state.conditions & (1u << bit)) printf(" %s", OrvPrinterConditionName(bit));
  printf("\n");
  return 0;
}

static int print_page_counters(OrvHandle handle) {
  int32_t count = 0;
  int32_t i;
  int32_t rc = OrvGetNumberOfMarkerInfo(handle, &count);
  if (rc != ORV_OK) {
    fprintf(stderr, "marker table: %d\n", (int)rc);
    return 1;
  }
  printf("Page counters\n");
  for (i = 0; i < count; ++i) {
    OrvMarkerInfo marker;
    const char* unit;
    if ((rc = OrvGetMarkerInfo(handle, (uint32_t)i, &marker)) != ORV_OK) {
      fprintf(stderr, "marker %d: %d\n", (int)i, (int)rc);
      return 1;
    }
    unit = marker.counter_unit == ORV_COUNTER_UNIT_IMPRESSIONS ? "impressions"
           : marker.counter_unit == ORV_COUNTER_UNIT_SHEETS   ? "sheets"
                                                               : "units";
    printf("  marker %-17d %lu %s\n", (int)marker.marker_index, (unsigned long)marker.life_count,
           unit);
  }
  return 0;
}

static int print_supplies(OrvHandle handle) {
  int32_t count = 0;
  int32_t i;
  int32_t rc = OrvGetNumberOfSupplyInfo(handle, &count);
  if (rc != ORV_OK) {
    fprintf(stderr, "supply table: %d\n", (int)rc);
    return 1;
  }
  printf("Supplies\n");
  for (i = 0; i < count; ++i) {
    OrvSupplyInfo supply;
    if ((rc = OrvGetSupplyInfo(handle, (uint32_t)i, &supply)) != ORV_OK) {
      fprintf(stderr, "supply %d: %d\n", (int)i, (int)rc);
      return 1;
    }
    printf("  %-24s %-8s ", supply.description, supply.colorant[0] ? supply.colorant : "-");
    print_level(supply.level, supply.max_capacity);
  }
  return 0;
}

int main(int argc, char** argv) {
  OrvHandle handle = NULL;
  int32_t protocol;
  int32_t rc;
  int failed = 0;
  size_t i;
  if (argc < 2 || argc > 3) {
    fprintf(stderr, "usage: %s ADDRESS [COMMUNITY]\n", argv[0]);
    return 2;
  }
  protocol = strchr(argv[1], ':') ? ORV_PROTOCOL_IPV6 : ORV_PROTOCOL_IPV4;
  if (OrvInit(&handle) != ORV_OK) {
    fprintf(stderr, "OrvInit failed\n");
    return 1;
  }
  if (argc == 3) OrvCommandString(handle, "CmdSetCommunityGetOption", argv[2]);
  rc = OrvInitDevice(handle, argv[1], protocol, TIMEOUT_MS, RETRIES);
  if (rc == ORV_OK) rc = OrvRefreshOptions(handle);
  if (rc != ORV_OK) {
    fprintf(stderr, "%s: cannot read the printer: %d\n", argv[1], (int)rc);
    OrvUnInit(handle);
    return 1;
  }
  printf("Options of %s\n", argv[1]);
  for (i = 0; i < sizeof options / sizeof options[0]; ++i)
    failed |= print_option(handle, options[i].key, options[i].type);
  failed |= print_toners(handle);
  failed |= print_state(handle);
  failed |= print_page_counters(handle);
  failed |= print_supplies(handle);
  OrvUnInit(handle);
  return failed;
}
