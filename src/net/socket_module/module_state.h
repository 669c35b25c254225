// Start-up counting and the per-thread last error of the socket module.
#pragma once

namespace orv::sockmod {

// Records `error` as this thread's last error.
void set_last_error(int error);

// Records `error` and returns the table's failure value (-1).
int fail_with(int error);

// Records errno as this thread's last error and returns the table's
// failure value (-1).
int fail_with_errno();

// False (and WSANOTINITIALISED recorded) when no WSAStartup is in force.
bool require_started();

}  // namespace orv::sockmod
