// The SNMPv3 library's error numbers as the framework's result codes.
#pragma once

#include "result_codes.h"

namespace orv::session {

// One library error number (its SNMPERR_* value) as a result code.
Result v3_library_error_result(int library_error);
// The same for an error met while opening the library session, where an
// unclassified failure means the settings were refused.
Result v3_open_error_result(int library_error);

}  // namespace orv::session
