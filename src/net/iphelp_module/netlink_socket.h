// One request on the kernel's routing socket and its (possibly multi-part)
// answer, each message handed to a callback. Bounded in messages and time.
#pragma once

#include <linux/netlink.h>

#include <functional>

namespace orv::iphelp {

// `request` starts with its nlmsghdr. Returns false when the socket fails,
// the kernel reports an error (its errno in `kernel_error`, optional), or
// the answer does not end in time.
bool netlink_exchange(const nlmsghdr* request, const std::function<void(const nlmsghdr*)>& on_message,
                      int* kernel_error = nullptr);

}  // namespace orv::iphelp
