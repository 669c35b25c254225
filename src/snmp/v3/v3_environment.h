// The SNMPv3 library looks its environment up through one function of its
// own, which this library defines before it: while a V3HiddenEnvironment
// lives on a thread, the library's look-ups on that thread find nothing, so
// that variables naming configuration folders or MIB files of the host are
// not followed when the library starts. Other threads, and the library
// after its start, see the environment as it is.
#pragma once

namespace orv::session {

class V3HiddenEnvironment {
 public:
  V3HiddenEnvironment();
  ~V3HiddenEnvironment();
  V3HiddenEnvironment(const V3HiddenEnvironment&) = delete;
  V3HiddenEnvironment& operator=(const V3HiddenEnvironment&) = delete;
};

}  // namespace orv::session
