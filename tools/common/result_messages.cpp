#include "result_messages.h"

#include <orv/orv.h>

#include <array>
#include <optional>

namespace orvctl {
namespace {

// Codes of the framework layers that the public header does not name.
constexpr int32_t kPlatformFailure = -1;
constexpr int32_t kNoInterface = -4;
constexpr int32_t kLoadFailure = -10;
constexpr int32_t kSnmpLibrary = -200;
constexpr int32_t kSocketCreate = -201;
constexpr int32_t kSocketBind = -202;
constexpr int32_t kReceive = -204;
constexpr int32_t kSend = -205;
constexpr int32_t kSocketAccess = -206;
constexpr int32_t kTooBig = -210;
constexpr int32_t kTooBigToSend = -211;
constexpr int32_t kCannotSplit = -212;
constexpr int32_t kSecurity = -214;
constexpr int32_t kNotAwaited = -250;
constexpr int32_t kRequestId = -251;
constexpr int32_t kArcTooLarge = -401;

struct CodeText {
  int32_t code;
  std::optional<Step> step;  // empty: any step
  // {address}, {timeout} and {tries} are filled in from the context.
  const char* meaning;
  const char* hint;
  const char* v3_hint = nullptr;  // when the hint names the community, the SNMPv3 words
};

// Rows bound to a step come before the general row of the same code.
constexpr std::array kTexts = {
    CodeText{ORV_ERR_TIMEOUT, std::nullopt,
             "no answer from {address} within {timeout} ms after {tries}",
             "check the address and community",
             "check the address; an agent may stay silent when it does not know the SNMPv3 "
             "user, or when the privacy pass phrase or protocol (--v3-priv) is not the "
             "user's"},
    CodeText{ORV_ERR_VERSION_FORMAT, Step::kRefresh,
             "the ROM version text of {address} is not in the form this library reads",
             "the printer's firmware generation is not supported; --log-mask 1 shows the text"},
    CodeText{kPlatformFailure, Step::kOpen, "{address} names no printer address: no such host, or no number of this protocol",
             "give the printer's IPv4 address, or --ipv6 with an IPv6 one"},
    CodeText{kPlatformFailure, std::nullopt, "a system call failed",
             "run again with --log-mask 31 --log-file FILE to see which one"},
    CodeText{ORV_ERR_INVALID_ARG, Step::kOpen,
             "{address} is not a printer of the supported family, or its address does not fit "
             "the protocol",
             "check the address; add --ipv6 for an IPv6 address, leave it out for IPv4"},
    CodeText{ORV_ERR_INVALID_ARG, Step::kFind,
             "the broadcast address {address} does not fit the protocol",
             "give an IPv4 address, or --ipv6 with an IPv6 one"},
    CodeText{ORV_ERR_INVALID_ARG, Step::kStatus,
             "a job index from {address} is not an identifier (101, its length, then one "
             "number per character)",
             "the printer lays out its job tables in a way this library cannot read; "
             "--log-mask 1 names the step"},
    CodeText{ORV_ERR_INVALID_ARG, std::nullopt, "the library refused an argument",
             "check the address and the other arguments"},
    CodeText{ORV_ERR_NO_MEMORY, std::nullopt, "out of memory", "free memory and try again"},
    CodeText{ORV_INIT_HANDLE_NO_MEMORY, std::nullopt, "out of memory while creating the handle",
             "free memory and try again"},
    CodeText{kNoInterface, std::nullopt, "a library component lacks an expected interface",
             "liborv.so may be damaged or of another version; reinstall it"},
    CodeText{ORV_ERR_NOT_SUPPORTED, Step::kFind, "this transport cannot search by broadcast",
             "search over IPv4, or over IPv6 with --ipv6"},
    CodeText{ORV_ERR_NOT_SUPPORTED, std::nullopt, "the library does not know this request",
             "liborv.so may be older than orvctl; install matching versions"},
    CodeText{ORV_ERR_NO_VALUE, Step::kCancel,
             "{address} refused the cancel: it knows no such unfinished job, or the write "
             "community or user may not write",
             "check the job id with \"orvctl jobs ADDRESS --kind active\" and --write-community",
             "check the job id with \"orvctl jobs ADDRESS --kind active\" and that the SNMPv3 "
             "user may write"},
    CodeText{ORV_ERR_NO_VALUE, Step::kStatus,
             "{address} went on past 10,000 rows of a table, answered an error status in it, "
             "or gave an empty answer",
             "a table that never ends is a fault of the printer's firmware; --log-mask 1 tells "
             "which it was"},
    CodeText{ORV_ERR_NO_VALUE, std::nullopt, "the answer of {address} lacked an expected value",
             "the printer does not serve an object the library reads; --log-mask 1 names the "
             "step"},
    CodeText{ORV_ERR_NO_DEVICE, std::nullopt, "no printer is open on the handle",
             "open the printer first; this is a fault of orvctl, please report it"},
    CodeText{kLoadFailure, std::nullopt, "a library, function or file could not be loaded or opened",
             "check the --log-file path and that liborv.so's dependencies are installed"},
    CodeText{ORV_ERR_INDEX_RANGE, std::nullopt, "an index was out of range",
             "the printer's tables changed during the reading; try again"},
    CodeText{kSnmpLibrary, std::nullopt, "the SNMPv3 library reported an error",
             "--log-mask 31 shows its message"},
    CodeText{kSocketCreate, std::nullopt, "no socket could be made for this transport",
             "check that the machine has the address family enabled (IPv6 for --ipv6)"},
    CodeText{kSocketBind, std::nullopt, "the socket could not be bound or configured",
             "check that the address family is enabled and an interface is up"},
    CodeText{kSocketAccess, std::nullopt, "the system refused the port: it needs privileges",
             "run as root, or choose a port of 1024 or above"},
    CodeText{kReceive, std::nullopt, "receiving the answer of {address} failed",
             "check that SNMP is enabled on the printer; a refused port ends this way"},
    CodeText{kSend, std::nullopt, "sending to {address} failed",
             "check that a route to the address exists and its interface is up"},
    CodeText{kTooBig, std::nullopt, "{address} answered that the answer would be too big",
             "the printer's message size limit is below what the library needs"},
    CodeText{kTooBigToSend, std::nullopt, "the request does not fit one message",
             "this is a fault of the library, please report it"},
    CodeText{kCannotSplit, std::nullopt, "the request could not be split further",
             "the printer's message size limit is below what one object needs"},
    CodeText{kSecurity, std::nullopt, "the agent refused the user or its pass phrases",
             "check the user name, the pass phrases and the protocols"},
    CodeText{kNotAwaited, std::nullopt, "the answer from {address} was malformed or not the awaited one",
             "check the community; another program may answer on port 161",
             "another program may answer on port 161"},
    CodeText{kRequestId, std::nullopt, "the answer from {address} carried another request id",
             "another program may answer on port 161; try again"},
    CodeText{kArcTooLarge, std::nullopt,
             "a value from {address} held a number above 255 where a byte was expected",
             "the printer sent an identifier this library cannot read; --log-mask 1 names the "
             "step"},
};

void replace_all(std::string& text, const std::string& key, const std::string& value) {
  for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size())) {
    text.replace(at, key.size(), value);
  }
}

std::string tries_text(uint32_t retries) {
  const uint64_t tries = static_cast<uint64_t>(retries) + 1;
  return std::to_string(tries) + (tries == 1 ? " try" : " tries");
}

}  // namespace

std::string describe_result(int32_t code, const FailureContext& context) {
  const std::string lead = context.action.empty() ? std::string() : context.action + ": ";
  if (!context.address_problem.empty()) return lead + context.address_problem;
  const CodeText* found = nullptr;
  for (const CodeText& row : kTexts) {
    if (row.code == code && (!row.step || *row.step == context.step)) {
      found = &row;
      break;
    }
  }
  std::string meaning = found ? found->meaning : "the library failed with an unexpected code";
  const char* hint = "run again with --log-mask 31 --log-file FILE to see the failing step";
  if (found) hint = context.snmpv3 && found->v3_hint ? found->v3_hint : found->hint;
  replace_all(meaning, "{address}", context.address.empty() ? "the printer" : context.address);
  replace_all(meaning, "{timeout}", std::to_string(context.timeout_ms));
  replace_all(meaning, "{tries}", tries_text(context.retries));
  return lead + meaning + " (" + std::to_string(code) + "): " + hint;
}

}  // namespace orvctl
