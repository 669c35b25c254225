// Result codes shared by every layer. 0 is success, failures are negative
// and are passed up unchanged; logic compares against these names only.
#pragma once

#include <cstdint>

namespace orv {

using Result = int32_t;

inline constexpr Result kOk = 0;

// Framework and plug-in codes.
inline constexpr Result kErrPlatform = -1;        // a platform call failed
inline constexpr Result kErrVersionFormat = -1;   // ROM version text not in the expected form
inline constexpr Result kErrInvalidArg = -2;
inline constexpr Result kErrNoMemory = -3;
inline constexpr Result kErrNoInterface = -4;     // interface id not implemented
inline constexpr Result kErrNotSupported = -5;
inline constexpr Result kErrNoValue = -7;         // no value / SET refused / line can never fit
inline constexpr Result kErrNoDevice = -8;        // no device open; also: no codec selected, empty OID
inline constexpr Result kErrLoad = -10;           // library, function or file could not be loaded/opened
inline constexpr Result kErrIndexRange = -11;
inline constexpr Result kInitHandleNoMemory = 3;  // OrvInit only: the handle itself could not be made

// Transport and session codes.
inline constexpr Result kErrSnmpLibrary = -200;   // any other SNMPv3 library error
inline constexpr Result kErrSocketCreate = -201;  // the socket could not be created
inline constexpr Result kErrSocketBind = -202;    // bind, or the family's own socket call, failed
inline constexpr Result kErrTimeout = -203;       // nothing arrived within the time-out
inline constexpr Result kErrReceive = -204;       // select or recvfrom failed
inline constexpr Result kErrSend = -205;          // sendto failed
inline constexpr Result kErrSocketAccess = -206;  // bind refused: the port needs privileges
inline constexpr Result kErrTooBig = -210;        // agent answered tooBig
inline constexpr Result kErrTooBigToSend = -211;  // the message does not fit the output buffer
inline constexpr Result kErrCannotSplit = -212;
inline constexpr Result kErrSecurity = -214;      // SNMPv3 security failure
inline constexpr Result kErrNotAwaited = -250;    // malformed, truncated or not the awaited answer
inline constexpr Result kErrRequestId = -251;     // request id mismatch

// SMI values.
inline constexpr Result kErrArcTooLarge = -401;   // an arc above 255 where an octet is expected
inline constexpr Result kErrEmptyOid = -8;        // an arc was asked of an empty OID

}  // namespace orv
