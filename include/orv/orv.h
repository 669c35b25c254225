/*
 * orv.h: the public C interface of liborv.so: result codes, the SNMPv3
 * parameter record, the status records and the 36 exports. Includable from
 * C99 and from C++; every function has C linkage.
 *
 * A host calls OrvInit, optionally OrvCommandString for the communities,
 * optionally the discovery functions, then OrvInitDevice/OrvInitDeviceEx,
 * OrvRefreshOptions and the option getters, the status functions, and
 * finally OrvUnInit.
 *
 * Result codes: 0 success, failures negative (see ORV_ERR_*), except
 * OrvInit, which answers positive 3 when the handle itself cannot be made.
 *
 * Threads: one handle must not be used by two threads at once; nothing
 * serialises the calls on it. Different handles may be used in parallel.
 *
 * Blocking: every call that talks to the printer runs on the calling
 * thread and waits up to timeout_ms x (retries + 1) for each exchange, with
 * the time-out and retries given to the open (or to the find). A request
 * the printer answers with tooBig is split, and each piece is an exchange
 * of its own. An address given as a name is first looked up, which takes as
 * long as the system's resolver takes. The exchanges of each call are
 * listed next to it.
 *
 * Tables are read by GETNEXT walks: one exchange per row, plus one that
 * finds the end. A walk fails with ORV_ERR_NO_VALUE when the printer
 * answers any error-status but noSuchName (SNMPv1's end of its objects), and
 * when a table goes on past 10,000 rows, so that a printer that never ends a
 * table cannot keep a call running. A column that runs out before the first
 * (noSuchName naming it, one exchange more, or an answer past the column)
 * is no longer asked: its integers read -1 (all bits set for the unsigned
 * ones) and its texts empty in the rows that follow.
 */
#ifndef ORV_ORV_H
#define ORV_ORV_H

#include <stddef.h>
#include <stdint.h>

/* Exported symbols carry ORV_EXPORT; everything else in liborv.so is hidden. */
#if defined(_WIN32)
#  if defined(ORV_BUILDING_LIBRARY)
#    define ORV_EXPORT __declspec(dllexport)
#  else
#    define ORV_EXPORT __declspec(dllimport)
#  endif
#elif defined(__GNUC__)
#  define ORV_EXPORT __attribute__((visibility("default")))
#else
#  define ORV_EXPORT
#endif

/* Compile-time layout checks, in C (C99 with GNU compilers, C11) and C++. */
#if defined(__cplusplus)
#  define ORV_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#  define ORV_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#elif defined(__GNUC__)
#  define ORV_STATIC_ASSERT(cond, msg) __extension__ _Static_assert(cond, msg)
#else
#  define ORV_SA_CAT2(a, b) a##b
#  define ORV_SA_CAT(a, b) ORV_SA_CAT2(a, b)
#  define ORV_STATIC_ASSERT(cond, msg) \
     typedef char ORV_SA_CAT(orv_static_assert_, __LINE__)[(cond) ? 1 : -1]
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ------------------------------------------------------------------ */
/* Result codes. Codes from the SNMP layers pass unchanged. */
#define ORV_OK 0
#define ORV_ERR_VERSION_FORMAT (-1)   /* ROM version text not "Printer Controller v%d.%d.%d - Processor" */
/* From an open or a find, -1 means that the address text names no address
 * (not numeric, or its lookup failed): nothing was sent. */
#define ORV_ERR_INVALID_ARG (-2)      /* null pointer, bad protocol/selector, unsupported printer */
#define ORV_ERR_NO_MEMORY (-3)
#define ORV_INIT_HANDLE_NO_MEMORY 3   /* OrvInit only */
#define ORV_ERR_NOT_SUPPORTED (-5)    /* unknown command/key; protocol cannot broadcast */
#define ORV_ERR_NO_VALUE (-7)         /* expected value missing; SET refused */
#define ORV_ERR_NO_DEVICE (-8)        /* no device open on this handle */
#define ORV_ERR_INDEX_RANGE (-11)
#define ORV_ERR_TIMEOUT (-203)        /* no answer within time-out and retries */

/* Host protocol values (mapped internally: 1->1, 2->2, 3->3, 5->4). */
#define ORV_PROTOCOL_IPV4 1
#define ORV_PROTOCOL_IPX 2
#define ORV_PROTOCOL_NONE 3           /* no transport in this library */
#define ORV_PROTOCOL_IPV6 5

/* Security models. 2 selects SNMPv3 user-based security. */
#define ORV_SECURITY_COMMUNITY_V1 0
#define ORV_SECURITY_COMMUNITY_V2C 1  /* communities too: still sent as SNMPv1 requests */
#define ORV_SECURITY_USM 2

/* Job list selectors (OrvGetNumberOfJobInfo) and character-set kinds. */
#define ORV_JOBS_ALL 0
#define ORV_JOBS_NOT_STATE_17 1
#define ORV_JOBS_STATE_17 2
#define ORV_CHARSET_PRINTER 0
#define ORV_CHARSET_VENDOR 1

/* Buffer sizes a caller provides for text outputs. */
#define ORV_OPTION_TEXT_SIZE 256      /* OrvGetOptionValueString */
#define ORV_DEVICE_TEXT_SIZE 64       /* each output of OrvGetDeviceNext */
#define ORV_COMMUNITY_SIZE 256        /* OrvCommandString value, terminator included */

/* The handle made by OrvInit. */
typedef void* OrvHandle;

/* ------------------------------------------------------------------ */
/* SNMPv3 parameters: 716 bytes, packed, texts NUL-terminated. */
#pragma pack(push, 1)
typedef struct OrvUSMParameters {
  char user_name[64];           /* empty keeps the default */
  int32_t security_level;       /* 0 noAuthNoPriv, 1 authNoPriv, 2 authPriv */
  int32_t auth_protocol;        /* 1 HMAC-MD5, 2 HMAC-SHA-1 */
  int32_t priv_protocol;        /* 1 DES, 2 AES */
  char auth_pass_phrase[64];
  char priv_pass_phrase[64];
  char context_name[512];
} OrvUSMParameters;
#pragma pack(pop)

ORV_STATIC_ASSERT(sizeof(OrvUSMParameters) == 716, "OrvUSMParameters is 716 bytes");
ORV_STATIC_ASSERT(offsetof(OrvUSMParameters, security_level) == 64, "OrvUSMParameters.security_level");
ORV_STATIC_ASSERT(offsetof(OrvUSMParameters, auth_protocol) == 68, "OrvUSMParameters.auth_protocol");
ORV_STATIC_ASSERT(offsetof(OrvUSMParameters, priv_protocol) == 72, "OrvUSMParameters.priv_protocol");
ORV_STATIC_ASSERT(offsetof(OrvUSMParameters, auth_pass_phrase) == 76, "OrvUSMParameters.auth_pass_phrase");
ORV_STATIC_ASSERT(offsetof(OrvUSMParameters, priv_pass_phrase) == 140, "OrvUSMParameters.priv_pass_phrase");
ORV_STATIC_ASSERT(offsetof(OrvUSMParameters, context_name) == 204, "OrvUSMParameters.context_name");

/* ------------------------------------------------------------------ */
/* Status records: little-endian integers, zero-filled texts. */

/* Storage record, 268 bytes. */
typedef struct OrvStorageInfo {
  int32_t type;                 /* storage type code */
  int32_t allocation_units;     /* hrStorageAllocationUnits */
  int32_t size;                 /* hrStorageSize */
  char description[256];        /* hrStorageDescr */
} OrvStorageInfo;

/* Device record, 264 bytes. */
typedef struct OrvDeviceInfo {
  int32_t type;                 /* device type code */
  int32_t status;               /* hrDeviceStatus */
  char description[256];        /* hrDeviceDescr */
} OrvDeviceInfo;

/* Printer record, 8 bytes (OrvGetPrinterInfo). */
typedef struct OrvPrinterInfo {
  int32_t status;               /* hrPrinterStatus */
  uint8_t detected_error_state[4]; /* first four octets of hrPrinterDetectedErrorState */
} OrvPrinterInfo;

/* Input tray record, 552 bytes. */
typedef struct OrvInputTrayInfo {
  int32_t type;                        /* prtInputType */
  int32_t dim_unit;                    /* prtInputDimUnit */
  int32_t media_dim_feed_declared;     /* prtInputMediaDimFeedDirDeclared */
  int32_t media_dim_xfeed_declared;    /* prtInputMediaDimXFeedDirDeclared */
  int32_t media_dim_feed_chosen;       /* prtInputMediaDimFeedDirChosen */
  int32_t media_dim_xfeed_chosen;      /* prtInputMediaDimXFeedDirChosen */
  int32_t capacity_unit;               /* prtInputCapacityUnit */
  int32_t max_capacity;                /* prtInputMaxCapacity */
  int32_t current_level;               /* prtInputCurrentLevel */
  int32_t status;                      /* prtInputStatus */
  char media_name[64];                 /* prtInputMediaName */
  char name[64];                       /* prtInputName */
  char description[256];               /* prtInputDescription */
  char media_type[64];                 /* prtInputMediaType */
  char media_color[64];                /* prtInputMediaColor */
} OrvInputTrayInfo;

/* Output tray record, 328 bytes. */
typedef struct OrvOutputTrayInfo {
  int32_t type;                 /* prtOutputType */
  int32_t status;               /* prtOutputStatus */
  char name[64];                /* prtOutputName */
  char description[256];        /* prtOutputDescription */
} OrvOutputTrayInfo;

/* Toner record, 268 bytes (supplies of type toner only). */
typedef struct OrvTonerInfo {
  int32_t supply_unit;          /* prtMarkerSuppliesSupplyUnit */
  int32_t max_capacity;         /* prtMarkerSuppliesMaxCapacity */
  int32_t level;                /* prtMarkerSuppliesLevel */
  char description[256];        /* prtMarkerSuppliesDescription */
} OrvTonerInfo;

/* Alert record, 276 bytes. */
typedef struct OrvAlertInfo {
  int32_t severity_level;       /* prtAlertSeverityLevel */
  int32_t group;                /* prtAlertGroup */
  int32_t group_index;          /* prtAlertGroupIndex */
  int32_t location;             /* prtAlertLocation */
  int32_t code;                 /* prtAlertCode */
  char description[256];        /* prtAlertDescription */
} OrvAlertInfo;

/* A date and time inside a job record, 12 bytes. */
typedef struct OrvJobTime {
  int16_t year;
  int16_t month;
  int16_t day;
  int16_t hour;
  int16_t minute;
  int16_t second;
} OrvJobTime;

/* Job record, 1336 bytes (vendor job tables under 1.3.6.1.4.1.253.8.59).
 * Field names carry the table and column of the vendor OID they come from:
 * "t6c9" is "1.3.6.1.4.1.253.8.59.6.1.1.9". */
typedef struct OrvJobInfo {
  int32_t type;                 /* job type code from column 6.1.1.4 (the job type table) */
  int32_t state;                /* t6c9: job state; 17 is what the job kinds 1 and 2 test */
  int32_t value_t6c10;          /* t6c10 */
  uint32_t value_t16c5;         /* t16c5 */
  uint32_t value_t16c6;         /* t16c6 */
  char text_t6c5[256];          /* localized text for t6c5 */
  char text_t6c6[256];          /* localized text for t6c6 */
  char text_t10c7[256];         /* localized text for t10c7 */
  char job_id[256];             /* job identifier decoded from the row index */
  char text_t6c3[256];          /* text of t6c3 */
  OrvJobTime time_t10c10;       /* time of t10c10 */
  OrvJobTime time_t16c4;        /* time of t16c4 */
  OrvJobTime time_t16c7;        /* time of t16c7 */
} OrvJobInfo;

ORV_STATIC_ASSERT(sizeof(OrvStorageInfo) == 268, "OrvStorageInfo is 268 bytes");
ORV_STATIC_ASSERT(offsetof(OrvStorageInfo, allocation_units) == 4, "OrvStorageInfo.allocation_units");
ORV_STATIC_ASSERT(offsetof(OrvStorageInfo, size) == 8, "OrvStorageInfo.size");
ORV_STATIC_ASSERT(offsetof(OrvStorageInfo, description) == 12, "OrvStorageInfo.description");

ORV_STATIC_ASSERT(sizeof(OrvDeviceInfo) == 264, "OrvDeviceInfo is 264 bytes");
ORV_STATIC_ASSERT(offsetof(OrvDeviceInfo, status) == 4, "OrvDeviceInfo.status");
ORV_STATIC_ASSERT(offsetof(OrvDeviceInfo, description) == 8, "OrvDeviceInfo.description");

ORV_STATIC_ASSERT(sizeof(OrvPrinterInfo) == 8, "OrvPrinterInfo is 8 bytes");
ORV_STATIC_ASSERT(offsetof(OrvPrinterInfo, detected_error_state) == 4, "OrvPrinterInfo.detected_error_state");

ORV_STATIC_ASSERT(sizeof(OrvInputTrayInfo) == 552, "OrvInputTrayInfo is 552 bytes");
ORV_STATIC_ASSERT(offsetof(OrvInputTrayInfo, dim_unit) == 4, "OrvInputTrayInfo.dim_unit");
ORV_STATIC_ASSERT(offsetof(OrvInputTrayInfo, media_dim_feed_declared) == 8, "OrvInputTrayInfo.media_dim_feed_declared");
ORV_STATIC_ASSERT(offsetof(OrvInputTrayInfo, media_dim_xfeed_declared) == 12, "OrvInputTrayInfo.media_dim_xfeed_declared");
ORV_STATIC_ASSERT(offsetof(OrvInputTrayInfo, media_dim_feed_chosen) == 16, "OrvInputTrayInfo.media_dim_feed_chosen");
ORV_STATIC_ASSERT(offsetof(OrvInputTrayInfo, media_dim_xfeed_chosen) == 20, "OrvInputTrayInfo.media_dim_xfeed_chosen");
ORV_STATIC_ASSERT(offsetof(OrvInputTrayInfo, capacity_unit) == 24, "OrvInputTrayInfo.capacity_unit");
ORV_STATIC_ASSERT(offsetof(OrvInputTrayInfo, max_capacity) == 28, "OrvInputTrayInfo.max_capacity");
ORV_STATIC_ASSERT(offsetof(OrvInputTrayInfo, current_level) == 32, "OrvInputTrayInfo.current_level");
ORV_STATIC_ASSERT(offsetof(OrvInputTrayInfo, status) == 36, "OrvInputTrayInfo.status");
ORV_STATIC_ASSERT(offsetof(OrvInputTrayInfo, media_name) == 40, "OrvInputTrayInfo.media_name");
ORV_STATIC_ASSERT(offsetof(OrvInputTrayInfo, name) == 104, "OrvInputTrayInfo.name");
ORV_STATIC_ASSERT(offsetof(OrvInputTrayInfo, description) == 168, "OrvInputTrayInfo.description");
ORV_STATIC_ASSERT(offsetof(OrvInputTrayInfo, media_type) == 424, "OrvInputTrayInfo.media_type");
ORV_STATIC_ASSERT(offsetof(OrvInputTrayInfo, media_color) == 488, "OrvInputTrayInfo.media_color");

ORV_STATIC_ASSERT(sizeof(OrvOutputTrayInfo) == 328, "OrvOutputTrayInfo is 328 bytes");
ORV_STATIC_ASSERT(offsetof(OrvOutputTrayInfo, status) == 4, "OrvOutputTrayInfo.status");
ORV_STATIC_ASSERT(offsetof(OrvOutputTrayInfo, name) == 8, "OrvOutputTrayInfo.name");
ORV_STATIC_ASSERT(offsetof(OrvOutputTrayInfo, description) == 72, "OrvOutputTrayInfo.description");

ORV_STATIC_ASSERT(sizeof(OrvTonerInfo) == 268, "OrvTonerInfo is 268 bytes");
ORV_STATIC_ASSERT(offsetof(OrvTonerInfo, max_capacity) == 4, "OrvTonerInfo.max_capacity");
ORV_STATIC_ASSERT(offsetof(OrvTonerInfo, level) == 8, "OrvTonerInfo.level");
ORV_STATIC_ASSERT(offsetof(OrvTonerInfo, description) == 12, "OrvTonerInfo.description");

ORV_STATIC_ASSERT(sizeof(OrvAlertInfo) == 276, "OrvAlertInfo is 276 bytes");
ORV_STATIC_ASSERT(offsetof(OrvAlertInfo, group) == 4, "OrvAlertInfo.group");
ORV_STATIC_ASSERT(offsetof(OrvAlertInfo, group_index) == 8, "OrvAlertInfo.group_index");
ORV_STATIC_ASSERT(offsetof(OrvAlertInfo, location) == 12, "OrvAlertInfo.location");
ORV_STATIC_ASSERT(offsetof(OrvAlertInfo, code) == 16, "OrvAlertInfo.code");
ORV_STATIC_ASSERT(offsetof(OrvAlertInfo, description) == 20, "OrvAlertInfo.description");

ORV_STATIC_ASSERT(sizeof(OrvJobTime) == 12, "OrvJobTime is 12 bytes");
ORV_STATIC_ASSERT(sizeof(OrvJobInfo) == 1336, "OrvJobInfo is 1336 bytes");
ORV_STATIC_ASSERT(offsetof(OrvJobInfo, state) == 4, "OrvJobInfo.state");
ORV_STATIC_ASSERT(offsetof(OrvJobInfo, value_t6c10) == 8, "OrvJobInfo.value_t6c10");
ORV_STATIC_ASSERT(offsetof(OrvJobInfo, value_t16c5) == 12, "OrvJobInfo.value_t16c5");
ORV_STATIC_ASSERT(offsetof(OrvJobInfo, value_t16c6) == 16, "OrvJobInfo.value_t16c6");
ORV_STATIC_ASSERT(offsetof(OrvJobInfo, text_t6c5) == 20, "OrvJobInfo.text_t6c5");
ORV_STATIC_ASSERT(offsetof(OrvJobInfo, text_t6c6) == 276, "OrvJobInfo.text_t6c6");
ORV_STATIC_ASSERT(offsetof(OrvJobInfo, text_t10c7) == 532, "OrvJobInfo.text_t10c7");
ORV_STATIC_ASSERT(offsetof(OrvJobInfo, job_id) == 788, "OrvJobInfo.job_id");
ORV_STATIC_ASSERT(offsetof(OrvJobInfo, text_t6c3) == 1044, "OrvJobInfo.text_t6c3");
ORV_STATIC_ASSERT(offsetof(OrvJobInfo, time_t10c10) == 1300, "OrvJobInfo.time_t10c10");
ORV_STATIC_ASSERT(offsetof(OrvJobInfo, time_t16c4) == 1312, "OrvJobInfo.time_t16c4");
ORV_STATIC_ASSERT(offsetof(OrvJobInfo, time_t16c7) == 1324, "OrvJobInfo.time_t16c7");

/* ------------------------------------------------------------------ */
/* The 36 exports. */

/* Handle life and commands. */
ORV_EXPORT int32_t OrvInit(OrvHandle* out);
/* Destroys the handle and everything it owns; the handle is invalid
 * afterwards and must not be passed to any function again, this one
 * included. */
ORV_EXPORT void OrvUnInit(OrvHandle handle);
/* "CmdSetCommunityGetOption" and "CmdSetCommunityWrite" take effect at the
 * next open, where an empty value gives the default ("public", "private").
 * "CmdSetCommunityFind" takes effect at the next find; an empty value there
 * keeps the community the earlier finds used, not the default. */
ORV_EXPORT int32_t OrvCommandString(OrvHandle handle, const char* command, const char* value);
ORV_EXPORT int32_t OrvCommandInteger(OrvHandle handle, int32_t command, int32_t* value);

/* Device opening and options. */
/* One exchange (the printer's sysObjectID.0). An open that fails once its
 * arguments have passed the checks (address of another family, failed
 * lookup, no answer, a printer outside the supported family) still leaves
 * the new option object on the handle: OrvRefreshOptions then reads the
 * printer at that address, the option getters answer from the empty store
 * and OrvIsSupportedOID from the sysObjectID read, if any. The status
 * functions answer ORV_ERR_NO_DEVICE until an open succeeds. */
ORV_EXPORT int32_t OrvInitDevice(OrvHandle handle, const char* address, int32_t protocol,
                                 uint32_t timeout_ms, uint32_t retries);
ORV_EXPORT int32_t OrvInitDeviceEx(OrvHandle handle, const char* address, int32_t protocol,
                                   int32_t security_model, const OrvUSMParameters* usm,
                                   uint32_t timeout_ms, uint32_t retries);
ORV_EXPORT int16_t OrvIsSupportedOID(OrvHandle handle, const char* oid);
/* Eight steps, one exchange each, plus one exchange per row of the four
 * tables walked (hrDeviceTable, prtInputTable, prtOutputTable,
 * prtMediaPathTable). The first failing step ends the refresh with its
 * code; the values of the steps before it stay, the later ones are cleared. */
ORV_EXPORT int32_t OrvRefreshOptions(OrvHandle handle);
ORV_EXPORT int32_t OrvGetOptionValueBoolean(OrvHandle handle, const char* key, uint16_t index,
                                            int16_t* out);
ORV_EXPORT int32_t OrvGetOptionValueInteger(OrvHandle handle, const char* key, uint16_t index,
                                            int32_t* out);
ORV_EXPORT int32_t OrvGetOptionValueUInteger(OrvHandle handle, const char* key, uint16_t index,
                                             uint32_t* out);
/* out must hold ORV_OPTION_TEXT_SIZE bytes. */
ORV_EXPORT int32_t OrvGetOptionValueString(OrvHandle handle, const char* key, uint16_t index,
                                           char* out);

/* Discovery. */
/* One broadcast (multicast over IPv6): it collects answers until each
 * try's time-out has passed, so it always lasts timeout_ms x (retries + 1)
 * unless an error ends it sooner. *count is written once the broadcast
 * starts (0 when it fails); a find that cannot start (a protocol without a
 * broadcast form, an address of another family, a failed lookup) leaves it
 * untouched. */
ORV_EXPORT int32_t OrvFindDeviceSNMP(OrvHandle handle, const char* broadcast, int32_t protocol,
                                     uint32_t timeout_ms, uint32_t retries, int32_t* count);
ORV_EXPORT int32_t OrvFindDeviceSNMPEx(OrvHandle handle, const char* broadcast, int32_t protocol,
                                       int32_t security_model, const OrvUSMParameters* usm,
                                       uint32_t timeout_ms, uint32_t retries, int32_t* count);
ORV_EXPORT int32_t OrvFindAddFilter(OrvHandle handle, const char* filter);
ORV_EXPORT void OrvFindClearFilter(OrvHandle handle);
ORV_EXPORT void OrvFindResetPosition(OrvHandle handle);
/* Each output must hold ORV_DEVICE_TEXT_SIZE bytes; reserved is always set to "". */
ORV_EXPORT int16_t OrvGetDeviceNext(OrvHandle handle, char* address, char* model, char* reserved,
                                    char* sys_object_id);

/* Status. Each count function reads its table afresh from the printer (a
 * walk: one exchange per row plus one) and replaces what the last count of
 * that table stored. A job count costs three exchanges more for the texts
 * of each job its kind keeps, and while the vendor character set is not
 * known (the handle's first job count, or a printer that gives none) it
 * first reads that as OrvGetCharSet does: a walk of one column plus one
 * exchange per row. The record functions never talk to the printer: they copy from
 * what the last count of their table left, and answer ORV_ERR_INDEX_RANGE
 * at or past that count, or before any count. OrvGetPrinterInfo walks
 * hrPrinterTable, OrvGetCharSet walks one column and reads one value per
 * row, OrvCancelJob makes one exchange (a SET with the write community). */
ORV_EXPORT int32_t OrvGetNumberOfStorageInfo(OrvHandle handle, int32_t* count);
ORV_EXPORT int32_t OrvGetNumberOfDeviceInfo(OrvHandle handle, int32_t* count);
ORV_EXPORT int32_t OrvGetNumberOfInputTrayInfo(OrvHandle handle, int32_t* count);
ORV_EXPORT int32_t OrvGetNumberOfOutputTrayInfo(OrvHandle handle, int32_t* count);
ORV_EXPORT int32_t OrvGetNumberOfTonerInfo(OrvHandle handle, int32_t* count);
ORV_EXPORT int32_t OrvGetNumberOfAlertInfo(OrvHandle handle, int32_t* count);
ORV_EXPORT int32_t OrvGetNumberOfJobInfo(OrvHandle handle, uint32_t kind, int32_t* count);
ORV_EXPORT int32_t OrvGetStorageInfo(OrvHandle handle, uint32_t index, OrvStorageInfo* record);
ORV_EXPORT int32_t OrvGetDeviceInfo(OrvHandle handle, uint32_t index, OrvDeviceInfo* record);
ORV_EXPORT int32_t OrvGetInputTrayInfo(OrvHandle handle, uint32_t index, OrvInputTrayInfo* record);
ORV_EXPORT int32_t OrvGetOutputTrayInfo(OrvHandle handle, uint32_t index, OrvOutputTrayInfo* record);
ORV_EXPORT int32_t OrvGetTonerInfo(OrvHandle handle, uint32_t index, OrvTonerInfo* record);
ORV_EXPORT int32_t OrvGetAlertInfo(OrvHandle handle, uint32_t index, OrvAlertInfo* record);
ORV_EXPORT int32_t OrvGetJobInfo(OrvHandle handle, uint32_t index, OrvJobInfo* record);
ORV_EXPORT int32_t OrvGetPrinterInfo(OrvHandle handle, OrvPrinterInfo* out);
ORV_EXPORT int32_t OrvCancelJob(OrvHandle handle, const char* job_id);
ORV_EXPORT int32_t OrvGetCharSet(OrvHandle handle, uint32_t kind, int32_t* out);

/* Transport check: 1 when a usable local interface exists for the protocol. */
ORV_EXPORT int16_t OrvTransportAvailable(int32_t protocol);

#ifdef __cplusplus
}
#endif

#endif /* ORV_ORV_H */
