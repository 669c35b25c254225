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

#ifdef __cplusplus
}
#endif

#endif /* ORV_ORV_EXT_H */
