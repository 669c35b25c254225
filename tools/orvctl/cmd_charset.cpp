// orvctl charset ADDRESS: the printer's and the vendor's character sets.
#include "printer_command.h"
#include "status_names.h"

namespace orvctl {
namespace {

class CharsetCommand : public PrinterCommand {
 public:
  const char* name() const override { return "charset"; }
  const char* summary() const override {
    return "print the character sets of the printer's texts and of its job texts";
  }

 protected:
  int32_t read(OrvHandle handle, FailureContext& context, nlohmann::json& document,
               std::string& text) override {
    context.step = Step::kStatus;
    int32_t sets[2] = {0, 0};
    for (uint32_t kind : {ORV_CHARSET_PRINTER, ORV_CHARSET_VENDOR}) {
      const int32_t result = OrvGetCharSet(handle, kind, &sets[kind]);
      if (result != ORV_OK) {
        context.action = "reading character set " + std::to_string(kind) + " (OrvGetCharSet)";
        return result;
      }
    }
    document["printer"] = sets[0];
    document["vendor"] = sets[1];
    text = format_table({"texts", "character set"}, {{"printer", char_set_name(sets[0])},
                                                     {"jobs (vendor)", char_set_name(sets[1])}});
    return ORV_OK;
  }
};

}  // namespace

ORVCTL_REGISTER_COMMAND(CharsetCommand);

}  // namespace orvctl
