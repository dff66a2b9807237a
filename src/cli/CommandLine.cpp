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
constexpr unsigned ForHistory = commandBit(Command::History);
constexpr unsigned ForDiff = commandBit(Command::Diff);
constexpr unsigned ForReport = commandBit(Command::Report);
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

// Sized by its entries, so that adding an option cannot leave an empty one.
constexpr auto optionSpecs = std::to_array<OptionSpec>({
    {"--install", true, AnyCommand, &Options::installFolder},
    {"--lang", true, AnyCommand},
    {"--help", false, AnyCommand, nullptr, &Options::help},
    {"-h", false, AnyCommand, nullptr, &Options::help},
    {"--model", true, ForNew | ForConvert, &Options::model},
    {"--mode", true, ForNew | ForConvert},
    {"--capacity", true, ForNew | ForConvert, &Options::capacity},
    {"--rom", true, ForNew | ForConvert, &Options::romCode},
    {"--force", false, ForNew | ForRead | ForConvert, nullptr, &Options::force},
    {"-o", true, ForNew | ForExport | ForRead | ForConvert | ForReport, &Options::output},
    {"--output", true, ForNew | ForExport | ForRead | ForConvert | ForReport, &Options::output},
    {"--suffix", true, ForConvert, &Options::suffix},
    {"--report", true, ForConvert, &Options::report},
    {"--area", true, ForShow, &Options::area},
    {"--check", false, ForShow, nullptr, &Options::check},
    {"--changed", false, ForShow, nullptr, &Options::changedRows},
    {"--plain", false, ForShow, nullptr, &Options::plain},
    {"--port", true, ForDrive, &Options::port},
    {"--from", true, ForWrite, &Options::fromArea},
    {"--to", true, ForWrite, &Options::toArea},
    {"--changed-only", false, ForWrite, nullptr, &Options::changedOnly},
    {"--no-verify", false, ForWrite, nullptr, &Options::verify, false},
    {"--permit-write", false, ForWrite, nullptr, &Options::permitWrite},
    {"--send-out-of-range", false, ForWrite, nullptr, &Options::sendNotAllowed},
    {"--accept-identity", false, ForWrite | ForCompareDrive, nullptr, &Options::acceptIdentity},
    {"--resume", false, ForWrite, nullptr, &Options::resume},
    {"--json", false, ForHistory | ForDiff, nullptr, &Options::json},
    {"--defaults", false, ForDiff, nullptr, &Options::againstDefaults},
    {"--site", true, ForReport, &Options::site},
    {"--tag", true, ForReport, &Options::tag},
    {"--engineer", true, ForReport, &Options::engineer},
    {"--all", false, ForReport, nullptr, &Options::listAll},
});

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

constexpr auto commandSpecs = std::to_array<CommandSpec>({
    {Command::New, "new", TextId::CliHelpNew},
    {Command::Show, "show", TextId::CliHelpShow},
    {Command::Set, "set", TextId::CliHelpSet},
    {Command::Export, "export", TextId::CliHelpExport},
    {Command::Read, "read", TextId::CliHelpRead},
    {Command::Write, "write", TextId::CliHelpWrite},
    {Command::CompareDrive, "compare-drive", TextId::CliHelpCompareDrive},
    {Command::Convert, "convert", TextId::CliHelpConvert},
    {Command::History, "history", TextId::CliHelpHistory},
    {Command::Diff, "diff", TextId::CliHelpDiff},
    {Command::Report, "report", TextId::CliHelpReport},
});

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

// The arguments told apart: the options with their values, and the plain
// words (the command first).
struct SplitArguments {
    std::vector<GivenOption> options;
    std::vector<std::string> plain;
};

// Records a fault of the line; the first one found is the one told.
void fail(ParsedCommandLine& result, TextId id, std::string arg1 = {}, std::string arg2 = {})
{
    if (!result.error)
        result.error = UsageError {id, std::move(arg1), std::move(arg2)};
}

// The value of the option at args[i] that takes one: after its '=', or the
// next argument (then i moves past it). Nothing, the fault recorded, when it
// is missing or empty.
std::optional<std::string> readValue(std::span<const std::string> args, std::size_t& i, const std::string& name,
    std::size_t equals, ParsedCommandLine& result)
{
    std::string value;
    if (equals != std::string::npos) {
        value = args[i].substr(equals + 1);
    } else if (i + 1 < args.size()) {
        value = args[++i];
    } else {
        fail(result, TextId::CliUsageMissingValue, name);
        return std::nullopt;
    }
    if (value.empty()) {
        fail(result, TextId::CliUsageBadValue, name, value);
        return std::nullopt;
    }
    return value;
}

// Reads the option at args[i] and its value, which may be the next argument
// (then i moves past it). Nothing is kept of an option that is faulty.
void readOption(
    std::span<const std::string> args, std::size_t& i, ParsedCommandLine& result, std::vector<GivenOption>& given)
{
    const std::string& arg = args[i];
    const std::size_t equals = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
    const std::string name = arg.substr(0, equals);
    const OptionSpec* spec = findOption(name);
    if (!spec) {
        fail(result, TextId::CliUsageUnknownOption, name);
        return;
    }
    if (spec->name == "--help" || spec->name == "-h")
        result.options.help = true;
    std::string value;
    if (spec->takesValue) {
        std::optional<std::string> read = readValue(args, i, name, equals, result);
        if (!read)
            return;
        value = std::move(*read);
    } else if (equals != std::string::npos) {
        fail(result, TextId::CliUsageBadValue, name, arg.substr(equals + 1));
        return;
    }
    given.push_back({spec, std::move(value)});
}

// First the words apart: the command is the first plain argument, and
// whether an option belongs to it is known only once it is found.
SplitArguments splitArguments(std::span<const std::string> args, ParsedCommandLine& result)
{
    SplitArguments split;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-')
            split.plain.push_back(arg);
        else if (arg == "--")
            optionsEnded = true;
        else
            readOption(args, i, result, split.options);
    }
    return split;
}

void readCommand(const std::vector<std::string>& plain, ParsedCommandLine& result)
{
    if (plain.empty())
        fail(result, TextId::CliUsageNoCommand);
    else if (const std::optional<Command> command = commandOf(plain.front()))
        result.options.command = *command;
    else
        fail(result, TextId::CliUsageUnknownCommand, plain.front());
}

// The options the parser reads itself: --lang and --mode.
void readOptionValue(std::string_view name, const std::string& value, ParsedCommandLine& result)
{
    Options& o = result.options;
    if (name == "--lang") {
        if (value == "ja")
            o.language = Language::Japanese;
        else if (value == "en")
            o.language = Language::English;
        else
            fail(result, TextId::CliUsageBadValue, std::string(name), value);
    } else if (name == "--mode") {
        o.controlMode = parseInteger(value, IntegerSign::MinusOnly);
        if (!o.controlMode)
            fail(result, TextId::CliUsageBadValue, std::string(name), value);
    }
}

// The options into their fields, once the command they must belong to is
// known.
void applyOptions(const std::vector<GivenOption>& given, ParsedCommandLine& result)
{
    Options& o = result.options;
    for (const GivenOption& option : given) {
        const OptionSpec& spec = *option.spec;
        if (o.command != Command::None && !allowedFor(spec, o.command)) {
            fail(result, TextId::CliUsageUnknownOption, std::string(spec.name));
            continue;
        }
        if (spec.text)
            o.*spec.text = option.value;
        else if (spec.flag)
            o.*spec.flag = spec.flagState;
        else
            readOptionValue(spec.name, option.value, result);
    }
}

void requireNoPlainArgument(std::span<const std::string> rest, ParsedCommandLine& result)
{
    if (!rest.empty())
        fail(result, TextId::CliUsageExtraArgument, rest.front());
}

void requireOption(const std::string& value, const char* option, ParsedCommandLine& result)
{
    if (value.empty())
        fail(result, TextId::CliUsageMissingOption, option);
}

void readOneDataFile(std::span<const std::string> rest, ParsedCommandLine& result)
{
    if (rest.empty())
        fail(result, TextId::CliUsageMissingFile);
    else
        result.options.dataFiles.push_back(rest.front());
    if (rest.size() > 1)
        fail(result, TextId::CliUsageExtraArgument, rest[1]);
}

void readDataFiles(std::span<const std::string> words, ParsedCommandLine& result)
{
    if (words.empty())
        fail(result, TextId::CliUsageMissingFile);
    result.options.dataFiles.assign(words.begin(), words.end());
}

// set: the data files come first, the words before the first one with '='
// (the first word is always one). Without any such word the words after the
// first are entries that lack it.
void readSetArguments(std::span<const std::string> rest, ParsedCommandLine& result)
{
    if (rest.empty()) {
        fail(result, TextId::CliUsageMissingFile);
        return;
    }
    const auto firstEntry = std::find_if(
        rest.begin() + 1, rest.end(), [](const std::string& word) { return word.find('=') != std::string::npos; });
    const std::size_t fileCount = firstEntry == rest.end() ? 1 : static_cast<std::size_t>(firstEntry - rest.begin());
    readDataFiles(rest.first(fileCount), result);
    for (const std::string& word : rest.subspan(fileCount)) {
        const std::size_t equals = word.find('=');
        if (equals == 0 || equals == std::string::npos) {
            fail(result, TextId::CliUsageBadAssignment, word);
            continue;
        }
        result.options.assignments.push_back({word.substr(0, equals), word.substr(equals + 1)});
    }
    if (rest.size() == 1)
        fail(result, TextId::CliUsageNoAssignment);
}

// convert: the data files, at least one part of the new inverter, and
// either one output or a suffix for each.
void readConvertArguments(std::span<const std::string> rest, ParsedCommandLine& result)
{
    const Options& o = result.options;
    readDataFiles(rest, result);
    if (o.model.empty() && !o.controlMode && o.capacity.empty() && o.romCode.empty())
        fail(result, TextId::CliUsageConvertTarget);
    if (o.output.empty() == o.suffix.empty())
        fail(result, TextId::CliUsageConvertOutput);
    else if (o.dataFiles.size() > 1 && !o.output.empty())
        fail(result, TextId::CliUsageConvertSeveralFiles);
    if (o.suffix.find('/') != std::string::npos)
        fail(result, TextId::CliUsageConvertBadSuffix, o.suffix);
}

// diff: two data files, or one to set against its table's defaults.
void readDiffArguments(std::span<const std::string> rest, ParsedCommandLine& result)
{
    readDataFiles(rest, result);
    const std::size_t wanted = result.options.againstDefaults ? 1 : 2;
    if (!rest.empty() && rest.size() != wanted)
        fail(result, TextId::CliUsageDiffFiles);
}

// The plain arguments after the command, and the options the command cannot
// do without.
void readCommandArguments(std::span<const std::string> rest, ParsedCommandLine& result)
{
    const Options& o = result.options;
    switch (o.command) {
    case Command::None:
        break;
    case Command::New:
        requireNoPlainArgument(rest, result);
        requireOption(o.model, "--model", result);
        requireOption(o.capacity, "--capacity", result);
        requireOption(o.output, "-o", result);
        break;
    case Command::Show:
        readDataFiles(rest, result);
        break;
    case Command::Export:
        readDataFiles(rest, result);
        // Several .csv files cannot go to one output: each goes beside its .csl.
        if (o.dataFiles.size() > 1 && !o.output.empty())
            fail(result, TextId::CliUsageOutputWithSeveralFiles);
        break;
    case Command::Set:
        readSetArguments(rest, result);
        break;
    case Command::Read:
        requireNoPlainArgument(rest, result);
        requireOption(o.port, "--port", result);
        requireOption(o.output, "-o", result);
        break;
    case Command::Write:
        // A resumed write takes its file, and its port unless one is given,
        // from the journal of the write it finishes.
        if (o.resume) {
            if (!rest.empty())
                fail(result, TextId::CliUsageResumeWithFile);
            break;
        }
        readOneDataFile(rest, result);
        requireOption(o.port, "--port", result);
        break;
    case Command::CompareDrive:
        readOneDataFile(rest, result);
        requireOption(o.port, "--port", result);
        break;
    case Command::History:
        requireNoPlainArgument(rest, result);
        break;
    case Command::Convert:
        readConvertArguments(rest, result);
        break;
    case Command::Diff:
        readDiffArguments(rest, result);
        break;
    case Command::Report:
        readOneDataFile(rest, result);
        requireOption(o.output, "-o", result);
        break;
    }
}

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
    const SplitArguments split = splitArguments(args, result);
    readCommand(split.plain, result);
    applyOptions(split.options, result);
    const std::span<const std::string> rest
        = split.plain.empty() ? std::span<const std::string> {} : std::span<const std::string>(split.plain).subspan(1);
    readCommandArguments(rest, result);
    if (result.options.help)
        result.error.reset();
    return result;
}

} // namespace tess::cli
