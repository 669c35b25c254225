// The command line: one sub-command per registered command, parsing, and the
// exit status.
#include "command.h"
#include "log_settings.h"
#include "output.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace orvctl {
namespace {

std::vector<CommandFactory>& factories() {
  static std::vector<CommandFactory> list;
  return list;
}

void add_common_options(CLI::App& sub, CommonOptions& common) {
  sub.add_flag("--json", common.json, "print one JSON document instead of text");
  sub.add_option("--log-mask", common.log_mask,
                 "library log levels to write: 1 error, 2 warn, 4 info, 8 debug, "
                 "16 trace, added together (31 for all)");
  sub.add_option("--log-file", common.log_file,
                 "write the library's log to this file (with no --log-mask all "
                 "levels are written)");
}

}  // namespace

bool register_command(CommandFactory factory) {
  factories().push_back(factory);
  return true;
}

std::vector<std::unique_ptr<Command>> create_commands() {
  std::vector<std::unique_ptr<Command>> commands;
  for (CommandFactory factory : factories()) commands.push_back(factory());
  // Registration order depends on link order; show them alphabetically.
  std::sort(commands.begin(), commands.end(),
            [](const auto& a, const auto& b) { return std::string(a->name()) < b->name(); });
  return commands;
}

void build_cli(CLI::App& app, std::vector<std::unique_ptr<Command>>& commands,
               CommonOptions& common, Command*& selected) {
  app.require_subcommand(1);
  for (auto& command : commands) {
    CLI::App* sub = app.add_subcommand(command->name(), command->summary());
    sub->footer("");  // the root's pointer to per-command help would only repeat itself
    command->add_arguments(*sub);
    add_common_options(*sub, common);
    Command* raw = command.get();
    sub->callback([raw, &selected] { selected = raw; });
  }
}

int run_cli(int argc, char** argv) {
  CLI::App app{"orvctl: find printers and read their options through liborv", "orvctl"};
  app.footer("Run 'orvctl COMMAND --help' for the arguments of one command.");
  std::vector<std::unique_ptr<Command>> commands = create_commands();
  CommonOptions common;
  Command* selected = nullptr;
  build_cli(app, commands, common, selected);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e) == 0 ? kExitOk : kExitFailure;
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e) == 0 ? kExitOk : kExitFailure;
  } catch (const CLI::ParseError& e) {
    app.exit(e);  // prints the reason on standard error
    return kExitFailure;
  }
  if (selected == nullptr) return kExitFailure;
  // The library reads its logging switch once, at its first log line, so it
  // has to be in the environment before any library call.
  if (!apply_log_settings(common)) return kExitFailure;
  // Log lines among the JSON would leave no document to parse.
  if (common.json &&
      library_logs_to_stdout(std::getenv(kLogMaskVariable), std::getenv(kLogFileVariable)) &&
      !keep_json_apart_from_log()) {
    return kExitFailure;
  }
  try {
    return selected->run(common);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "orvctl %s: %s\n", selected->name(), e.what());
    return kExitFailure;
  }
}

}  // namespace orvctl
