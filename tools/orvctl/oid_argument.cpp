#include "oid_argument.h"

#include <cctype>

namespace orvctl {

std::string oid_argument_error(const std::string& text) {
  const std::string body = !text.empty() && text.front() == '.' ? text.substr(1) : text;
  if (body.empty()) return "an OID is dotted decimal text such as 1.3.6.1.4.1";
  bool digit_before = false;
  for (char c : body) {
    if (std::isdigit(static_cast<unsigned char>(c))) {
      digit_before = true;
    } else if (c == '.' && digit_before) {
      digit_before = false;
    } else {
      return "an OID is dotted decimal text such as 1.3.6.1.4.1, not \"" + text + "\"";
    }
  }
  if (!digit_before) return "an OID does not end with a dot: \"" + text + "\"";
  return {};
}

CLI::Validator oid_validator() {
  CLI::Validator validator(
      [](std::string& text) -> std::string {
        const std::string error = oid_argument_error(text);
        if (error.empty() && text.front() == '.') text.erase(0, 1);
        return error;
      },
      "OID");
  return validator;
}

}  // namespace orvctl
