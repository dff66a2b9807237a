#include "cli/CommandLine.h"

#include "domain/common/TextParse.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tess::cli {
namespace {

// The commands an option belongs to, one bit per command.
constexpr unsigned commandBit(Command command)
{
    return 1u << static_cast<unsigned>(command);
}

constexpr unsigned AnyCommand = ~0u;
constexpr unsigned ForNew = commandBit(Command::New);
constexpr unsigned ForShow = commandBit(Command::Show);
constexpr unsigned ForExport = commandBit(Command::Export);
constexpr unsigned ForRead = commandBit(Command::Read);
constexpr unsigned ForWrite = commandBit(Command::Write);
constexpr unsigned ForCompareDrive = commandBit(Command::CompareDrive);
constexpr unsigned ForConvert = commandBit(Command::Convert);
constexpr unsigned ForDrive = ForRead | ForWrite | ForCompareDrive;

// An option, the commands it belongs to, and where its value goes: a text
// kept as given, a flag set to a fixed state, or (neither) a value the
// parser reads itself.
struct OptionSpec {
    std::string_view name;
    bool takesValue;
    unsigned commands;
    std::string Options::*text = nullptr;
    bool Options::*flag = nullptr;
    bool flagState = true;
};

constexpr std::array<OptionSpec, 21> optionSpecs {{
    {"--install", true, AnyCommand, &Options::installFolder},
    {"--lang", true, AnyCommand},
    {"--help", false, AnyCommand, nullptr, &Options::help},
    {"-h", false, AnyCommand, nullptr, &Options::help},
    {"--model", true, ForNew | ForConvert, &Options::model},
    {"--mode", true, ForNew | ForConvert},
    {"--capacity", true, ForNew | ForConvert, &Options::capacity},
    {"--rom", true, ForNew | ForConvert, &Options::romCode},
    {"--force", false, ForNew | ForRead | ForConvert, nullptr, &Options::force},
    {"-o", true, ForNew | ForExport | ForRead | ForConvert, &Options::output},
    {"--output", true, ForNew | ForExport | ForRead | ForConvert, &Options::output},
    {"--suffix", true, ForConvert, &Options::suffix},
    {"--report", true, ForConvert, &Options::report},
    {"--area", true, ForShow, &Options::area},
    {"--port", true, ForDrive, &Options::port},
    {"--from", true, ForWrite, &Options::fromArea},
    {"--to", true, ForWrite, &Options::toArea},
    {"--changed-only", false, ForWrite, nullptr, &Options::changedOnly},
    {"--no-verify", false, ForWrite, nullptr, &Options::verify, false},
    {"--permit-write", false, ForWrite, nullptr, &Options::permitWrite},
    {"--accept-identity", false, ForWrite | ForCompareDrive, nullptr, &Options::acceptIdentity},
}};

const OptionSpec* findOption(std::string_view name)
{
    const auto found = std::find_if(
        optionSpecs.begin(), optionSpecs.end(), [&](const OptionSpec& spec) { return spec.name == name; });
    return found == optionSpecs.end() ? nullptr : &*found;
}

bool allowedFor(const OptionSpec& spec, Command command)
{
    return (spec.commands & commandBit(command)) != 0;
}

// Each command as typed, with its help.
struct CommandSpec {
    Command command;
    std::string_view name;
    TextId help;
};

constexpr std::array<CommandSpec, 8> commandSpecs {{
    {Command::New, "new", TextId::CliHelpNew},
    {Command::Show, "show", TextId::CliHelpShow},
    {Command::Set, "set", TextId::CliHelpSet},
    {Command::Export, "export", TextId::CliHelpExport},
    {Command::Read, "read", TextId::CliHelpRead},
    {Command::Write, "write", TextId::CliHelpWrite},
    {Command::CompareDrive, "compare-drive", TextId::CliHelpCompareDrive},
    {Command::Convert, "convert", TextId::CliHelpConvert},
}};

const CommandSpec* findCommand(auto matches)
{
    const auto found = std::find_if(commandSpecs.begin(), commandSpecs.end(), matches);
    return found == commandSpecs.end() ? nullptr : &*found;
}

std::optional<Command> commandOf(std::string_view word)
{
    const CommandSpec* spec = findCommand([&](const CommandSpec& c) { return c.name == word; });
    return spec ? std::optional<Command>(spec->command) : std::nullopt;
}

struct GivenOption {
    const OptionSpec* spec;
    std::string value;
};

} // namespace

std::string_view commandName(Command command)
{
    const CommandSpec* spec = findCommand([&](const CommandSpec& c) { return c.command == command; });
    return spec ? spec->name : "";
}

TextId helpText(Command command)
{
    const CommandSpec* spec = findCommand([&](const CommandSpec& c) { return c.command == command; });
    return spec ? spec->help : TextId::CliHelpMain;
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
        if (o.command != Command::None && !allowedFor(*option.spec, o.command)) {
            fail(TextId::CliUsageUnknownOption, std::string(name));
            continue;
        }
        const OptionSpec& spec = *option.spec;
        if (spec.text) {
            o.*spec.text = value;
        } else if (spec.flag) {
            o.*spec.flag = spec.flagState;
        } else if (name == "--lang") {
            if (value == "ja")
                o.language = Language::Japanese;
            else if (value == "en")
                o.language = Language::English;
            else
                fail(TextId::CliUsageBadValue, std::string(name), value);
        } else if (name == "--mode") {
            o.controlMode = parseInteger(value, IntegerSign::MinusOnly);
            if (!o.controlMode)
                fail(TextId::CliUsageBadValue, std::string(name), value);
        }
    }

    // The plain arguments after the command.
    const std::span<const std::string> rest
        = plain.empty() ? std::span<const std::string> {} : std::span<const std::string>(plain).subspan(1);
    const auto noPlainArgument = [&] {
        if (!rest.empty())
            fail(TextId::CliUsageExtraArgument, rest.front());
    };
    const auto require = [&](const std::string& value, const char* option) {
        if (value.empty())
            fail(TextId::CliUsageMissingOption, option);
    };
    const auto oneDataFile = [&] {
        if (rest.empty())
            fail(TextId::CliUsageMissingFile);
        else
            o.dataFiles.push_back(rest.front());
        if (rest.size() > 1)
            fail(TextId::CliUsageExtraArgument, rest[1]);
    };
    const auto dataFiles = [&](std::span<const std::string> words) {
        if (words.empty())
            fail(TextId::CliUsageMissingFile);
        o.dataFiles.assign(words.begin(), words.end());
    };
    switch (o.command) {
    case Command::None:
        break;
    case Command::New:
        noPlainArgument();
        require(o.model, "--model");
        require(o.capacity, "--capacity");
        require(o.output, "-o");
        break;
    case Command::Show:
        dataFiles(rest);
        break;
    case Command::Export:
        dataFiles(rest);
        // Several .csv files cannot go to one output: each goes beside its .csl.
        if (o.dataFiles.size() > 1 && !o.output.empty())
            fail(TextId::CliUsageOutputWithSeveralFiles);
        break;
    case Command::Set: {
        if (rest.empty()) {
            fail(TextId::CliUsageMissingFile);
            break;
        }
        // The data files come first: the words before the first one with
        // '=' (the first word is always one). Without any such word the
        // words after the first are entries that lack it.
        const auto firstEntry = std::find_if(
            rest.begin() + 1, rest.end(), [](const std::string& word) { return word.find('=') != std::string::npos; });
        const std::size_t fileCount
            = firstEntry == rest.end() ? 1 : static_cast<std::size_t>(firstEntry - rest.begin());
        dataFiles(rest.first(fileCount));
        for (const std::string& word : rest.subspan(fileCount)) {
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
    case Command::Read:
        noPlainArgument();
        require(o.port, "--port");
        require(o.output, "-o");
        break;
    case Command::Write:
    case Command::CompareDrive:
        oneDataFile();
        require(o.port, "--port");
        break;
    case Command::Convert:
        dataFiles(rest);
        if (o.model.empty() && !o.controlMode && o.capacity.empty() && o.romCode.empty())
            fail(TextId::CliUsageConvertTarget);
        if (o.output.empty() == o.suffix.empty())
            fail(TextId::CliUsageConvertOutput);
        else if (o.dataFiles.size() > 1 && !o.output.empty())
            fail(TextId::CliUsageConvertSeveralFiles);
        if (o.suffix.find('/') != std::string::npos)
            fail(TextId::CliUsageConvertBadSuffix, o.suffix);
        break;
    }

    if (o.help)
        result.error.reset();
    return result;
}

} // namespace tess::cli
