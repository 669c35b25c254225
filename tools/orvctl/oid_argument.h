// Object identifiers given on the command line: dotted decimal text such as
// "1.3.6.1.4.1"; one leading dot, as other SNMP tools print them, is dropped.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace orvctl {

// Empty when `text` is a usable OID, else why not.
std::string oid_argument_error(const std::string& text);

// CLI11 validator over oid_argument_error that also drops the leading dot.
CLI::Validator oid_validator();

}  // namespace orvctl
