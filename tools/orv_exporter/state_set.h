// A state as Prometheus' state-set form: one series per possible state, 1
// for the current one and 0 for the others, so that the series stay the
// same when the state changes (a label holding the state would start a new
// series with every change).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace orv_exporter {

// Every state of `states` with its value; a current state that is not
// among them is added (a printer may report a code no list names).
inline std::vector<std::pair<std::string, double>> state_set(const std::vector<std::string>& states,
                                                             const std::string& current) {
  std::vector<std::pair<std::string, double>> out;
  bool listed = false;
  for (const std::string& state : states) {
    listed = listed || state == current;
    out.emplace_back(state, state == current ? 1 : 0);
  }
  if (!listed) out.emplace_back(current, 1);
  return out;
}

}  // namespace orv_exporter
