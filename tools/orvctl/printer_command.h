// The frame of the commands that open one printer and read from it: the
// ADDRESS argument and request switches, the open, failure reports, and the
// result as JSON or as text.
#pragma once

#include "command.h"
#include "output.h"
#include "printer_session.h"

#include <string>

namespace orvctl {

class PrinterCommand : public Command {
 public:
  void add_arguments(CLI::App& sub) final;
  int run(const CommonOptions& common) final;

 protected:
  // The command's own arguments, after ADDRESS.
  virtual void add_own_arguments(CLI::App& /*sub*/) {}
  // On the new handle before the open (further commands): 0 or a code.
  virtual int32_t prepare(OrvHandle /*handle*/) { return ORV_OK; }
  // After the open: fills `document` (for --json) and `text` (for people);
  // on failure returns the code with `context` telling the step.
  virtual int32_t read(OrvHandle handle, FailureContext& context, nlohmann::json& document,
                       std::string& text) = 0;

  // Whether the text read() left is still shown when it fails (what was
  // read before the failure).
  virtual bool shows_text_on_failure() const { return false; }

  const std::string& address() const { return address_; }

 private:
  std::string address_;
  RequestSettings settings_;
};

}  // namespace orvctl
