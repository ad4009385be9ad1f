#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "args/cliarguments.h"

namespace veltrin {

// An argument that starts with '-' (and is not just "-"): an option, or "--".
bool IsOptionArgument(const std::string& arg);

// One option as written on the command line: its name, a value given after '=', and the
// arguments after it, from which it may take its value.
class OptionUse {
public:
    // args[at] is the option; at moves past each argument the option takes.
    OptionUse(const std::vector<std::string>& args, std::size_t& at);

    const std::string& Name() const { return name_; }  // "--last" of "--last=3"
    bool HasInlineValue() const { return hasInlineValue_; }
    const std::string& InlineValue() const { return inlineValue_; }

    // The value after '=' or else the next argument, whatever it looks like; an empty or
    // missing one is refused with "NAME needs a value".
    bool TakeValue(std::string& value, std::string& error);
    // The arguments up to the next option (--port NAME...); none after "--port=NAME".
    void TakeFollowingNames(std::vector<std::string>& names);

private:
    const std::vector<std::string>& args_;
    std::size_t& at_;
    std::string name_;
    bool hasInlineValue_ = false;
    std::string inlineValue_;
};

// How an option's value is written.
enum class OptionValue {
    None,        // a flag: "--json=x" is not the option --json
    Required,    // "--server URL" or "--server=URL"
    InlineOnly,  // "--csv" or "--csv=semicolon", never a value of its own argument
};

// Puts one use of an option into the parsed arguments; false with error set when its value is
// not one the option takes.
using OptionStore = bool (*)(OptionUse& use, CliArguments& parsed, std::string& error);

constexpr unsigned CommandBit(CliCommand command) {
    return 1u << static_cast<unsigned>(command);
}
// The options every command takes; only these may also come before the command.
constexpr unsigned kEveryCommand = CommandBit(CliCommand::Help) | CommandBit(CliCommand::Ports) |
                                   CommandBit(CliCommand::Probe) | CommandBit(CliCommand::Check) |
                                   CommandBit(CliCommand::Download) |
                                   CommandBit(CliCommand::Update) | CommandBit(CliCommand::History);

struct CliOption {
    const char* Name;       // "--server"
    const char* ShortName;  // "-y"; nullptr: none
    OptionValue Value;
    const char* ValueName;  // "URL" in --help; nullptr: none shown
    unsigned Commands;      // the CommandBit of each command that takes it
    OptionStore Store;      // nullptr: --help, which drops the rest of the command line
    // Its --help description, '\n' between lines; a leading '\n' starts it under the name.
    const char* Help;
};

// Every option, in the order --help lists them. An option may have more than one row: one per
// meaning for different commands (--port), or one for a value worth an entry of its own
// (--csv=semicolon); the parser uses the first row that fits.
std::span<const CliOption> CliOptions();

// The row of the option named so (long or short name) that the command takes; no command yet:
// only the options every command takes. nullptr when there is none, or when a flag was given
// a value after '='.
const CliOption* FindCliOption(const OptionUse& use, std::optional<CliCommand> command);

// The "Options:" part of --help: each row's names and description, one entry after another.
std::string CliOptionsHelp();

}  // namespace veltrin
