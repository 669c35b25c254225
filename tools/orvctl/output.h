// How results leave the tool: aligned text tables for people, one JSON
// document for programs, and failure messages.
#pragma once

#include "command.h"
#include "result_messages.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <string>
#include <vector>

namespace orvctl {

using Row = std::vector<std::string>;

// Control characters as escapes ("\n", "\r", "\t", "\x1b", ...); every
// other byte as it is.
std::string escape_controls(const std::string& text);

// Columns padded to their widest cell, separated by two blanks; the last
// column is not padded. Cells are shown through escape_controls().
std::string format_table(const Row& header, const std::vector<Row>& rows);

// The start of every JSON document: {"command": ..., "ok": ...}.
nlohmann::json json_document(const char* command, bool ok);

// Writes `document` (pretty, or on one line for streams of documents, with
// one trailing newline) on standard output.
void print_json(const nlohmann::json& document, bool one_line = false);

// For --json while the library logs on standard output: the library's lines
// go to standard error from now on and the JSON document keeps the real
// standard output to itself. False (after a message) when the descriptors
// could not be moved.
bool keep_json_apart_from_log();

// Reports a failed library call: the message on standard error, and with
// --json also a document with "ok": false and "error": {"code", "message"}
// on standard output (fields already in `document` are kept). Returns the
// failure exit status.
int report_failure(const char* command, const CommonOptions& common, int32_t code,
                   const FailureContext& context, nlohmann::json document = {});

}  // namespace orvctl
