// The readings of one probe after the open: the options (kept between
// probes, see model_book.h) and every status table, the independent ones on
// several handles at once, so that a probe takes about as long as its
// longest group of exchanges rather than the sum of them all.
#pragma once

#include <orv/orv.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "model_book.h"
#include "printer_probe.h"

namespace orv_exporter {

// The handles the groups after the first read on; opened or taken from the
// pool by `extra` (empty when that fails: its group then reads on the
// first handle after the first group).
using ExtraHandle = std::function<orvctl::HandlePtr()>;

// Reads everything into `data` on `main` and on handles from `extra`, and
// hands back in `used` every extra handle all of whose readings succeeded.
// `view` is the probe's request, the key of the kept options.
void read_everything(OrvHandle main, const ExtraHandle& extra, ProbeData& data,
                     const orvctl::RequestSettings& view, ModelBook& models,
                     const std::atomic<bool>& abandoned, std::vector<orvctl::HandlePtr>& used);

}  // namespace orv_exporter
