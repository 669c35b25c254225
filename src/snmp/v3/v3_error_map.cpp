#include "snmp/v3/v3_error_map.h"

namespace orv::session {

Result v3_library_error_result(int library_error) {
  switch (library_error) {
    case 0:
      return kOk;
    case -24:
      return kErrTimeout;
    case -12:
      return kErrSend;
    case -25:
    case -32:
      return kErrReceive;
    case -62:
      return kErrNoMemory;
    case -66:
      return kErrLoad;
    // Encoding, parsing and message errors.
    case -11: case -13: case -29: case -31: case -38: case -41:
    case -47: case -48: case -49: case -50: case -64:
      return kErrNotAwaited;
    // Security model, user, level, authentication, decryption, time window.
    case -30: case -33: case -34: case -35: case -36: case -37:
    case -42: case -43: case -44: case -46:
      return kErrSecurity;
    // Bad arguments, names, values and types.
    case -3: case -4: case -5: case -14: case -17: case -19: case -23:
    case -27: case -28: case -45:
    case -56: case -57: case -58: case -59: case -60: case -61:
      return kErrInvalidArg;
    default:
      return kErrSnmpLibrary;
  }
}

Result v3_open_error_result(int library_error) {
  Result rc = v3_library_error_result(library_error);
  return rc == kErrSnmpLibrary ? kErrInvalidArg : rc;
}

}  // namespace orv::session
