// The overall state of a printer from three Host Resources objects of its
// device: hrDeviceStatus, hrPrinterStatus and hrPrinterDetectedErrorState.
#pragma once

#include <cstdint>

namespace orv::status {

// hrPrinterDetectedErrorState's octets as condition bits (bit n of the
// result is bit n of the string, bit 0 the first octet's highest bit).
uint32_t condition_bits(const uint8_t* octets, uint32_t length);

// The overall state (ORV_PRINTER_STATE_*). The worst of the device status
// and the conditions wins: a critical condition over a warning over running.
int32_t overall_state(int32_t device_status, int32_t printer_status, uint32_t conditions);

// "idle", "printing", ...; "unknown" outside the states.
const char* printer_state_name(int32_t state);
// "lowPaper", ...; nullptr past the last condition.
const char* printer_condition_name(uint32_t bit);

}  // namespace orv::status
