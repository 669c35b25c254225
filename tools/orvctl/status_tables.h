// Reads the status tables of an opened printer into JSON (the records'
// values with names for their codes) and renders them as text tables.
#pragma once

#include <orv/orv.h>
#include <orv/orv_ext.h>

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace orvctl {

// The tables `orvctl status` knows, in the order it shows them.
const std::vector<std::string>& status_table_names();

// One table: an array of records ("printer": one object). 0 or the failing
// export's code; `failed` names the export.
int32_t read_status_table(OrvHandle handle, const std::string& table, nlohmann::json& out,
                          std::string& failed);

// The job list of a kind (ORV_JOBS_*).
int32_t read_jobs(OrvHandle handle, uint32_t kind, nlohmann::json& out, std::string& failed);

// The character sets (IANA MIBenums) of a printer's texts and of its job
// texts, each asked of the printer the first time a text needs it; UTF-8
// where the printer names none.
class TextSets {
 public:
  explicit TextSets(OrvHandle handle) : handle_(handle) {}
  int32_t printer() { return read(ORV_CHARSET_PRINTER, printer_); }
  int32_t jobs() { return read(ORV_CHARSET_VENDOR, jobs_); }

 private:
  int32_t read(uint32_t kind, int32_t& kept);
  OrvHandle handle_;
  int32_t printer_ = 0;  // 0 until asked
  int32_t jobs_ = 0;
};

// The printer's texts in `table`'s records (as read_status_table or
// read_jobs left them) converted to UTF-8. Texts of ASCII alone are the
// same in every set and cost no question to the printer.
void convert_table_texts(const std::string& table, TextSets& sets, nlohmann::json& data);

// A section for people: a title line, a blank line and the table.
std::string status_table_text(const std::string& table, const nlohmann::json& data);

// "2024-03-15 00:05:42", or empty when every field is 0 or one is outside
// its range (month 1 to 12, day 1 to 31, hour 0 to 23, ...).
std::string job_time_text(const OrvJobTime& time);

}  // namespace orvctl
