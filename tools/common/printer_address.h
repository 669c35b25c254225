// What an ADDRESS argument names, decided before anything is sent: an IPv4
// or IPv6 address as written, or a host name looked up in the family the
// command speaks. The words for a text that names no printer live here, so
// that every command that opens a printer reports it alike.
#pragma once

#include <cstdint>
#include <string>

namespace orvctl {

struct PrinterAddress {
  // What to open: the numeric text as given, or the first address of a host
  // name in the chosen family.
  std::string address;
  // 0 when usable; else the library's code for such a text: -1 it names no
  // address (no such host, no number), -2 it is an address of the other family.
  int32_t code = 0;
  // When not usable, the whole message: "no such host \"printer.invalid\"
  // (-1): check the name, or give the printer's IP address".
  std::string message;

  bool usable() const { return code == 0; }
};

// Classifies `text` for UDP over IPv6 (`ipv6`) or IPv4. Only a text that can
// be a host name is looked up; numbers are judged as written.
PrinterAddress resolve_printer_address(const std::string& text, bool ipv6);

// The one spelling of a numeric address, so that texts naming the same
// printer compare equal: "127.000.064.001" -> "127.0.64.1",
// "FD00::0198:..." -> "fd00::198:...", a scope ("%eth0") kept; any other
// text as it is.
std::string canonical_address(const std::string& text);

}  // namespace orvctl
