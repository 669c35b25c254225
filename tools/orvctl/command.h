// A sub-command of orvctl. Each command lives in its own cmd_*.cpp file and
// registers itself with ORVCTL_REGISTER_COMMAND, so adding one touches
// nothing else.
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvctl {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;

// Switches every command accepts.
struct CommonOptions {
  bool json = false;
  std::optional<uint32_t> log_mask;
  std::string log_file;
};

class Command {
 public:
  virtual ~Command() = default;
  virtual const char* name() const = 0;
  virtual const char* summary() const = 0;
  // Declares the command's own arguments on its sub-command.
  virtual void add_arguments(CLI::App& sub) = 0;
  // Runs after parsing and after logging was set up; returns the exit status.
  virtual int run(const CommonOptions& common) = 0;
};

using CommandFactory = std::unique_ptr<Command> (*)();

// Commands in registration order, each created once.
std::vector<std::unique_ptr<Command>> create_commands();
bool register_command(CommandFactory factory);

// Builds the whole command line: one sub-command per registered command, each
// with the common switches. `selected` receives the command that was chosen.
void build_cli(CLI::App& app, std::vector<std::unique_ptr<Command>>& commands,
               CommonOptions& common, Command*& selected);

// Parses argv and runs the chosen command; returns the process exit status.
int run_cli(int argc, char** argv);

}  // namespace orvctl

#define ORVCTL_CONCAT_INNER(a, b) a##b
#define ORVCTL_CONCAT(a, b) ORVCTL_CONCAT_INNER(a, b)
#define ORVCTL_REGISTER_COMMAND(Type)                                            \
  static const bool ORVCTL_CONCAT(orvctl_registered_, __COUNTER__) =                \
      ::orvctl::register_command([]() -> std::unique_ptr<::orvctl::Command> {    \
        return std::make_unique<Type>();                                         \
      })
