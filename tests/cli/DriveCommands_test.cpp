// read, write and compare-drive end to end: the real termios port on the
// slave side of a pseudo-terminal, the simulated inverter program on the
// master side.
#include "cli/CliRun.h"
#include "cli/OutOfRangeValues.h"
#include "cli/Runner.h"
#include "cli/SimulatedDrive.h"

#include "domain/common/FileIo.h"
#include "domain/datafile/DataSetFormat.h"
#include "support/CaseName.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace tess::cli {
namespace {

datafile::ParsedDataSet parsedFile(const std::string& path)
{
    return datafile::parseDataSet(test::readFile(path));
}

TEST_F(CliDrive, ReadSavesTheDrivesDataSetWithABarOnATerminal)
{
    startDrive();
    env.errIsTerminal = true;
    const std::string got = dir.file("got.csl");
    ASSERT_EQ(run({"read", "--port", port, "-o", got}), ExitDone) << err.str();

    const datafile::ParsedDataSet saved = parsedFile(got);
    const datafile::ParsedDataSet source = parsedFile(held);
    EXPECT_EQ(saved.status, datafile::ParseStatus::Complete);
    EXPECT_EQ(saved.identity, source.identity);
    EXPECT_EQ(saved.values, source.values);
    EXPECT_NE(err.str().find("] 100%"), std::string::npos) << err.str();
}

// A drive may echo any address in a data reply's header: it is not
// examined, on the identity reads nor on the image.
TEST_F(CliDrive, ReadTakesRepliesWhoseHeaderNamesAnotherAddress)
{
    startDrive({"--other-header", "0x510", "--other-header", "0x200000"});
    const std::string got = dir.file("got.csl");
    ASSERT_EQ(run({"read", "--port", port, "-o", got}), ExitDone) << err.str();
    EXPECT_EQ(parsedFile(got).values, parsedFile(held).values);
}

TEST_F(CliDrive, WriteBringsTheDriveToTheDataSetAsCompareDriveTells)
{
    startDrive();
    ASSERT_EQ(run({"compare-drive", changed, "--port", port}), ExitDriveDiffers) << err.str();
    EXPECT_EQ(linesOf(out.str()),
        (std::vector<std::string> {"Setting area\tSetting val.\tCompare value", "Fund.-3\t12.5\t10.0"}));

    ASSERT_EQ(run({"write", changed, "--port", port, "--from", "Fund.", "--to", "Fund."}), ExitDone) << err.str();
    EXPECT_EQ(err.str().find('\r'), std::string::npos) << "a progress line through a pipe";
    EXPECT_TRUE(fileExists(dir.file("writelog.txt")));

    EXPECT_EQ(run({"compare-drive", changed, "--port", port}), ExitDone) << err.str();
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(drive.stop(), 11); // the Fund. area
}

struct RefusedWordCase {
    const char* name;
    bool verify;
};

class CliDriveRefusedWord : public CliDrive, public ::testing::WithParamInterface<RefusedWordCase> { };

// A word the drive refuses is never taken for written, read back or not:
// the status says so and the word is listed with its name and the reason.
TEST_P(CliDriveRefusedWord, EndsWithItsOwnStatusAndTheWordListed)
{
    startDrive({"--nak", "word:3=E"});
    std::vector<std::string> args {"write", changed, "--port", port, "--from", "Fund.", "--to", "Fund."};
    if (!GetParam().verify)
        args.push_back("--no-verify");
    EXPECT_EQ(run(args), ExitWordsRefused) << err.str();
    EXPECT_EQ(drive.stop(), 10);
    const std::string listed = "Written, but the drive refused these 1 words:\nFund.-3 ";
    const std::size_t at = err.str().find(listed);
    ASSERT_NE(at, std::string::npos) << err.str();
    const std::string line
        = err.str().substr(at + listed.size(), err.str().find('\n', at + listed.size()) - at - listed.size());
    EXPECT_TRUE(line.ends_with(": Upper limit error")) << line;
    EXPECT_GT(line.size(), std::string_view(": Upper limit error").size()) << "the word's name";
    const std::string log = test::readFile(dir.file("writelog.txt"));
    EXPECT_NE(log.find("Fund.-3 " + line + "\r\n"), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(Cases, CliDriveRefusedWord,
    ::testing::Values(RefusedWordCase {"ReadBack", true}, RefusedWordCase {"NotReadBack", false}), test::CaseName {});

// What the log calls a refused identity read and a line that closed: the
// identity block is no parameter, a hang-up no checksum fault.
struct LineFaultCase {
    const char* name;
    std::vector<std::string> driveOptions;
    std::string command;
    std::string logged;
};

class CliDriveLineFault : public CliDrive, public ::testing::WithParamInterface<LineFaultCase> { };

TEST_P(CliDriveLineFault, IsNamedForWhatItIs)
{
    const LineFaultCase& c = GetParam();
    startDrive(c.driveOptions);
    std::vector<std::string> args {c.command, "--port", port};
    if (c.command == "write")
        args.insert(args.end(), {changed, "--from", "Fund.", "--to", "Fund."});
    else
        args.insert(args.end(), {"-o", dir.file("got.csl")});
    EXPECT_EQ(run(args), ExitTransferFailed) << err.str();
    const std::string log = test::readFile(dir.file("writelog.txt"));
    EXPECT_NE(log.find(c.logged + "\r\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("Fund.-0"), std::string::npos) << log;
    EXPECT_EQ(log.find("SUM "), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(Cases, CliDriveLineFault,
    ::testing::Values(
        LineFaultCase {"IdentityRefusedInAWrite", {"--nak", "0x510=E"}, "write", "identity read: Upper limit error"},
        LineFaultCase {
            "ModeCapacityRefusedInARead", {"--nak", "0x20052F=e"}, "read", "identity read: Lower limit error"},
        LineFaultCase {"HangUpWhileWriting", {"--hangup-after", "17"}, "write", "the line was closed (hang-up)"},
        LineFaultCase {"HangUpWhileReading", {"--hangup-after", "16"}, "read", "the line was closed (hang-up)"}),
    test::CaseName {});

struct IdentityCase {
    const char* name;
    bool specialFunctions;
    bool accept;
    int status;
    int wordsWritten;
};

class CliDriveIdentity : public CliDrive, public ::testing::WithParamInterface<IdentityCase> { };

// The drive says it runs another ROM version than the data set's: a
// script writes it only where the window could ask, and only when told to.
TEST_P(CliDriveIdentity, WritesAnotherVersionOnlyWhenTold)
{
    const IdentityCase& c = GetParam();
    demo::DemoOptions options;
    options.specialFunctions = c.specialFunctions;
    std::string error;
    ASSERT_TRUE(demo::writeDemoInstallation(dir.path(), options, &error)) << error;
    startDrive({"--identity", "QM71 01-A2"});

    std::vector<std::string> args {"write", changed, "--port", port, "--from", "Fund.", "--to", "Fund."};
    if (c.accept)
        args.push_back("--accept-identity");
    EXPECT_EQ(run(args), c.status) << err.str();
    EXPECT_EQ(drive.stop(), c.wordsWritten);
}

INSTANTIATE_TEST_SUITE_P(Cases, CliDriveIdentity,
    ::testing::Values(IdentityCase {"SwitchOffRefusesEvenWhenTold", false, true, ExitTransferFailed, 0},
        IdentityCase {"SwitchOnAsksAndIsToldNo", true, false, ExitTransferFailed, 0},
        IdentityCase {"SwitchOnAsksAndIsToldYes", true, true, ExitDone, 11}),
    test::CaseName {});

struct StopSignalCase {
    const char* name;
    int signal;
};

class CliDriveStopSignal : public CliDrive, public ::testing::WithParamInterface<StopSignalCase> { };

// Ctrl+C, a closing terminal (SIGHUP) and a logout or service stop
// (SIGTERM) all stop the write between two words, with its log.
TEST_P(CliDriveStopSignal, StopsTheWriteBetweenTwoWords)
{
    startDrive();
    const WriteOutcome stopped = writeAreaCStoppedBy(GetParam().signal);

    ASSERT_TRUE(stopped.writing) << err.str();
    EXPECT_EQ(stopped.status, ExitCancelled) << err.str();
    const int written = drive.stop();
    EXPECT_GT(written, 0);
    EXPECT_LT(written, 48);
    const std::string log = test::readFile(dir.file("writelog.txt"));
    EXPECT_NE(log.find("Cancelled: " + std::to_string(written) + " of 48 words written."), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(Signals, CliDriveStopSignal,
    ::testing::Values(
        StopSignalCase {"Interrupt", SIGINT}, StopSignalCase {"Terminate", SIGTERM}, StopSignalCase {"HangUp", SIGHUP}),
    test::CaseName {});

struct RefusalCase {
    const char* name;
    std::vector<std::string> args; // after the command, before --port
    int status;
};

class CliDriveRefused : public CliDrive, public ::testing::WithParamInterface<RefusalCase> { };

// Refusals before the line: the port named is no device, so a command
// that got as far as opening it would fail there instead.
TEST_P(CliDriveRefused, BeforeThePortIsOpened)
{
    std::vector<std::string> args = GetParam().args;
    for (std::string& arg : args)
        if (arg.ends_with(".csl"))
            arg = dir.file(arg);
    args.insert(args.end(), {"--port", dir.file("no-such-device")});
    const std::string heldBefore = test::readFile(held);

    EXPECT_EQ(run(args), GetParam().status) << err.str();
    EXPECT_EQ(test::readFile(held), heldBefore);
    EXPECT_FALSE(fileExists(dir.file("writelog.txt")));
}

INSTANTIATE_TEST_SUITE_P(Cases, CliDriveRefused,
    ::testing::Values(RefusalCase {"ReadOverAnExistingFile", {"read", "-o", "held.csl"}, ExitRefused},
        RefusalCase {"WriteOfAnUnknownArea", {"write", "changed.csl", "--from", "Q"}, ExitRefused},
        RefusalCase {"WriteOfAMissingFile", {"write", "missing.csl"}, ExitRefused},
        // 1 tells a difference: a comparison that never came about is no "different".
        RefusalCase {"CompareDriveOfAMissingFile", {"compare-drive", "missing.csl"}, ExitTransferFailed}),
    test::CaseName {});

// A value its table row does not allow goes to the drive only when the
// command line says so: a damaged digit or a hand edit is not sent unseen.
TEST_F(CliDrive, WriteRefusesAValueOutsideItsRowUnlessToldToSendIt)
{
    writeValueByHand([this](std::vector<std::string> args) { return run(std::move(args)); }, changed, "D-9", "1", 8);
    startDrive();
    const std::vector<std::string> write {"write", changed, "--port", port, "--changed-only"};

    EXPECT_EQ(run(write), ExitRefused);
    EXPECT_NE(err.str().find("\nD-9 = 8, allowed 0/1\n"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("Nothing was sent."), std::string::npos) << err.str();
    EXPECT_FALSE(fileExists(dir.file("writelog.txt")));
    EXPECT_EQ(drive.wordsWritten(200), 0);

    std::vector<std::string> anyway = write;
    anyway.push_back("--send-out-of-range");
    EXPECT_EQ(run(anyway), ExitDone) << err.str();
    EXPECT_EQ(drive.stop(), 2); // Fund.-3 and D-9
}

} // namespace
} // namespace tess::cli

namespace tess::cli {
namespace {

// A terminal's standard error that notes when each flushed piece of text
// reached it, so that the time left it showed can be set against the time
// the transfer then really took.
class TimedTerminal : public std::streambuf {
public:
    struct Piece {
        std::chrono::steady_clock::time_point at;
        std::string text;
    };
    std::vector<Piece> pieces;

protected:
    int_type overflow(int_type c) override
    {
        if (!traits_type::eq_int_type(c, traits_type::eof()))
            m_pending += traits_type::to_char_type(c);
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        m_pending.append(s, static_cast<std::size_t>(n));
        return n;
    }
    int sync() override
    {
        if (!m_pending.empty())
            pieces.push_back({std::chrono::steady_clock::now(), std::move(m_pending)});
        m_pending.clear();
        return 0;
    }

private:
    std::string m_pending;
};

// "about 1:05 left" as seconds; nothing in a line without it.
std::optional<int> secondsLeftShown(const std::string& line)
{
    const std::size_t about = line.rfind("about ");
    const std::size_t colon = about == std::string::npos ? about : line.find(':', about);
    if (colon == std::string::npos || line.find(" left", colon) == std::string::npos)
        return std::nullopt;
    const int minutes = std::atoi(line.c_str() + about + 6);
    const int seconds = std::atoi(line.c_str() + colon + 1);
    return minutes * 60 + seconds;
}

// At the pace of a real line (9600 baud, the drive's own write waits), the
// time left the progress line shows is within a fifth of the time the write
// then took to its end, whenever it is shown at all.
TEST_F(CliDrive, TheTimeLeftShownHoldsOnAPacedLine)
{
    startDrive({"--baud", "9600"});
    TimedTerminal terminal;
    std::ostream timedErr(&terminal);
    env.errIsTerminal = true;
    env.errColumns = 200;
    const std::vector<std::string> args {"write", "--lang", "en", changed, "--port", port, "--from", "A", "--to", "A"};
    const int status = runCommandLine(args, env, out, timedErr);
    timedErr.flush();
    const auto end = std::chrono::steady_clock::now();
    std::string all;
    for (const TimedTerminal::Piece& piece : terminal.pieces)
        all += piece.text;
    ASSERT_EQ(status, ExitDone) << all;

    int shown = 0;
    for (const TimedTerminal::Piece& piece : terminal.pieces) {
        const std::optional<int> left = secondsLeftShown(piece.text);
        if (!left)
            continue;
        ++shown;
        const double actual = std::chrono::duration<double>(end - piece.at).count();
        // The figure is in whole seconds: a second of rounding either way.
        EXPECT_LE(std::abs(*left - actual), 0.2 * actual + 1.0)
            << piece.text << ": shown " << *left << " s, took " << actual << " s";
    }
    EXPECT_GT(shown, 0) << all;
}

} // namespace
} // namespace tess::cli
