#include "cli/CommandLine.h"

#include "domain/common/TextParse.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tess::cli {
namespace {

enum class Scope { Global, New, Show, NewOrExport };

struct OptionSpec {
    std::string_view name;
    bool takesValue;
    Scope scope;
};

constexpr std::array<OptionSpec, 12> optionSpecs {{
    {"--install", true, Scope::Global},
    {"--lang", true, Scope::Global},
    {"--help", false, Scope::Global},
    {"-h", false, Scope::Global},
    {"--model", true, Scope::New},
    {"--mode", true, Scope::New},
    {"--capacity", true, Scope::New},
    {"--rom", true, Scope::New},
    {"--force", false, Scope::New},
    {"-o", true, Scope::NewOrExport},
    {"--output", true, Scope::NewOrExport},
    {"--area", true, Scope::Show},
}};

const OptionSpec* findOption(std::string_view name)
{
    const auto found = std::find_if(
        optionSpecs.begin(), optionSpecs.end(), [&](const OptionSpec& spec) { return spec.name == name; });
    return found == optionSpecs.end() ? nullptr : &*found;
}

bool allowedFor(Scope scope, Command command)
{
    switch (scope) {
    case Scope::Global:
        return true;
    case Scope::New:
        return command == Command::New;
    case Scope::Show:
        return command == Command::Show;
    case Scope::NewOrExport:
        return command == Command::New || command == Command::Export;
    }
    return false;
}

std::optional<Command> commandOf(std::string_view word)
{
    for (const Command c : {Command::New, Command::Show, Command::Set, Command::Export})
        if (commandName(c) == word)
            return c;
    return std::nullopt;
}

struct GivenOption {
    const OptionSpec* spec;
    std::string value;
};

} // namespace

std::string_view commandName(Command command)
{
    switch (command) {
    case Command::New:
        return "new";
    case Command::Show:
        return "show";
    case Command::Set:
        return "set";
    case Command::Export:
        return "export";
    case Command::None:
        break;
    }
    return "";
}

TextId helpText(Command command)
{
    switch (command) {
    case Command::New:
        return TextId::CliHelpNew;
    case Command::Show:
        return TextId::CliHelpShow;
    case Command::Set:
        return TextId::CliHelpSet;
    case Command::Export:
        return TextId::CliHelpExport;
    case Command::None:
        break;
    }
    return TextId::CliHelpMain;
}

ParsedCommandLine parseCommandLine(std::span<const std::string> args)
{
    ParsedCommandLine result;
    Options& o = result.options;
    const auto fail = [&](TextId id, std::string arg1 = {}, std::string arg2 = {}) {
        if (!result.error)
            result.error = UsageError {id, std::move(arg1), std::move(arg2)};
    };

    // First the words apart: the command is the first plain argument, and
    // whether an option belongs to it is known only once it is found.
    std::vector<GivenOption> given;
    std::vector<std::string> plain;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            plain.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
        const std::string name = arg.substr(0, equals);
        const OptionSpec* spec = findOption(name);
        if (!spec) {
            fail(TextId::CliUsageUnknownOption, name);
            continue;
        }
        if (spec->name == "--help" || spec->name == "-h")
            o.help = true;
        std::string value;
        if (spec->takesValue) {
            if (equals != std::string::npos) {
                value = arg.substr(equals + 1);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                fail(TextId::CliUsageMissingValue, name);
                continue;
            }
            if (value.empty()) {
                fail(TextId::CliUsageBadValue, name, value);
                continue;
            }
        } else if (equals != std::string::npos) {
            fail(TextId::CliUsageBadValue, name, arg.substr(equals + 1));
            continue;
        }
        given.push_back({spec, std::move(value)});
    }

    if (plain.empty()) {
        fail(TextId::CliUsageNoCommand);
    } else if (const std::optional<Command> command = commandOf(plain.front())) {
        o.command = *command;
    } else {
        fail(TextId::CliUsageUnknownCommand, plain.front());
    }

    for (const GivenOption& option : given) {
        const std::string_view name = option.spec->name;
        const std::string& value = option.value;
        if (o.command != Command::None && !allowedFor(option.spec->scope, o.command)) {
            fail(TextId::CliUsageUnknownOption, std::string(name));
            continue;
        }
        if (name == "--install") {
            o.installFolder = value;
        } else if (name == "--lang") {
            if (value == "ja")
                o.language = Language::Japanese;
            else if (value == "en")
                o.language = Language::English;
            else
                fail(TextId::CliUsageBadValue, std::string(name), value);
        } else if (name == "--model") {
            o.model = value;
        } else if (name == "--mode") {
            o.controlMode = parseInteger(value, IntegerSign::MinusOnly);
            if (!o.controlMode)
                fail(TextId::CliUsageBadValue, std::string(name), value);
        } else if (name == "--capacity") {
            o.capacity = value;
        } else if (name == "--rom") {
            o.romCode = value;
        } else if (name == "--force") {
            o.force = true;
        } else if (name == "-o" || name == "--output") {
            o.output = value;
        } else if (name == "--area") {
            o.area = value;
        }
    }

    // The plain arguments after the command.
    const std::span<const std::string> rest
        = plain.empty() ? std::span<const std::string> {} : std::span<const std::string>(plain).subspan(1);
    switch (o.command) {
    case Command::None:
        break;
    case Command::New:
        if (!rest.empty())
            fail(TextId::CliUsageExtraArgument, rest.front());
        if (o.model.empty())
            fail(TextId::CliUsageMissingOption, "--model");
        if (o.capacity.empty())
            fail(TextId::CliUsageMissingOption, "--capacity");
        if (o.output.empty())
            fail(TextId::CliUsageMissingOption, "-o");
        break;
    case Command::Show:
    case Command::Export:
    case Command::Set:
        if (rest.empty()) {
            fail(TextId::CliUsageMissingFile);
            break;
        }
        o.dataFile = rest.front();
        if (o.command != Command::Set) {
            if (rest.size() > 1)
                fail(TextId::CliUsageExtraArgument, rest[1]);
            break;
        }
        for (const std::string& word : rest.subspan(1)) {
            const std::size_t equals = word.find('=');
            if (equals == 0 || equals == std::string::npos) {
                fail(TextId::CliUsageBadAssignment, word);
                continue;
            }
            o.assignments.push_back({word.substr(0, equals), word.substr(equals + 1)});
        }
        if (rest.size() == 1)
            fail(TextId::CliUsageNoAssignment);
        break;
    }

    if (o.help)
        result.error.reset();
    return result;
}

} // namespace tess::cli
