#pragma once

#include "domain/common/Language.h"
#include "domain/text/Texts.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

// The command line of tessaline-cli, read into plain values. Reading it
// decides nothing about inverters or data sets: every rule is applied later
// by the application, on the values as given.
namespace tess::cli {

enum class Command { None, New, Show, Set, Export, Read, Write, CompareDrive, Convert, History, Diff, Report };

// One "CODE=VALUE" of the set command, split at its first '='.
struct Assignment {
    std::string code;
    std::string value;

    friend bool operator==(const Assignment&, const Assignment&) = default;
};

struct Options {
    Command command = Command::None;
    bool help = false;
    std::string installFolder; // empty: the program's own folder
    std::optional<Language> language; // empty: chosen as the window chooses it

    // new and convert (convert: the parts of the new inverter that change)
    std::string model;
    std::optional<int> controlMode;
    std::string capacity;
    std::string romCode;

    // new, export, read and convert
    std::string output;
    // new, read and convert: replace an existing output
    bool force = false;
    // convert: NAME<suffix>.csl beside each NAME.csl, and the report's .csv
    std::string suffix;
    std::string report;

    // show, set, export, write, compare-drive, convert and diff: the data
    // files, in the order given; show, set, export and convert take several,
    // each handled on its own, diff two (one with --defaults), the others one
    std::vector<std::string> dataFiles;
    std::string area;
    // show: a value its table row would not take makes the status 7
    bool check = false;
    // show: only the rows whose value is changed from the table's default
    bool changedRows = false;
    // show: one line per parameter (code, name, value) and nothing else, a
    // text that stays the same for the same data set, for `git diff`
    bool plain = false;
    // diff: the one data file against its table's defaults
    bool againstDefaults = false;
    std::vector<Assignment> assignments;

    // read, write and compare-drive: "COMk" or a device path
    std::string port;
    // write: the communication dialog's choices; empty areas keep its Fund. to P
    std::string fromArea;
    std::string toArea;
    bool changedOnly = false;
    bool verify = true;
    bool permitWrite = false; // the held-back words A-11..A-16 and the G analog words go out too
    // write: finish the newest interrupted write, from its journal
    bool resume = false;
    // history: JSON lines instead of a table; diff: one JSON document
    bool json = false;
    bool sendNotAllowed = false; // words their table rows would not take are sent too
    // write and compare-drive: Yes to the identity questions the special
    // function switch lets a write ask (every other question is answered No)
    bool acceptIdentity = false;

    // report: the header's fields as the engineer gives them, and every
    // parameter listed instead of only those changed from default
    std::string site;
    std::string tag;
    std::string engineer;
    bool listAll = false;
};

// What is wrong with a command line: the text and what it names.
struct UsageError {
    TextId id = TextId::CliUsageNoCommand;
    std::string arg1;
    std::string arg2;

    friend bool operator==(const UsageError&, const UsageError&) = default;
};

struct ParsedCommandLine {
    Options options;
    std::optional<UsageError> error; // nothing when the line is usable
};

// Reads the arguments after the program name. Options take their value as
// the next argument or after '=' ("--model QM71", "--model=QM71"); "--"
// ends the options. --help anywhere asks for the help of the command and
// overrides any other fault of the line.
ParsedCommandLine parseCommandLine(std::span<const std::string> args);

// The command's name as typed ("new", ...); "" for none.
std::string_view commandName(Command command);

// The help text of the command (the overview for Command::None).
TextId helpText(Command command);

} // namespace tess::cli
