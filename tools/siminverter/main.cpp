// tessaline-siminverter: a simulated inverter on a pseudo-terminal, for
// trying the read and write transactions without the hardware.
//
//   tessaline-siminverter [options] DATASET.csl
//
// Prints the slave device's path as its first line on stdout; point the
// program at it with TESSALINE_COM1=<path> (or any COMk) and read or write.
// The inverter holds the data set's values and identity; writes change its
// memory only. On stderr it tells how many words have been written so far.
// It serves until SIGTERM or SIGINT, or until it hangs the line up.
//
// Options:
//   --identity TEXT    the ten identity characters (default: the ones the
//                      data set's model and ROM version give)
//   --baud N           pace the line at N baud (9600 for a real one; ten bits
//                      a character): a reply starts no sooner than the
//                      request's characters would have arrived, and its
//                      characters leave at that rate. Without it replies go
//                      out as fast as the pseudo-terminal takes them.
//   --delay ADDR=MS    requests to ADDR get the correct reply, MS ms late
//   --nak ADDR=CODE    requests to ADDR are refused with the code character
//   --silent ADDR      requests to ADDR get no reply
//   --overlong ADDR    ... a reply of 700 characters before its CR LF
//   --garbage ADDR     ... the reply with a wrong first character
//   --sum-high ADDR    ... the reply with the checksum's high digit wrong
//   --sum-low ADDR     ... the reply with the checksum's low digit wrong
//   --cut ADDR         ... the first half of the reply, no CR LF
//   --other-header ADDR  ... a data reply whose header names another address
//   --stray ADDR=BYTE  ... the reply with the byte (0x00 to 0xFF) put in
//                      before its checksum, as line noise would
//   --flow-control     the line comes up with XON/XOFF and RTS/CTS flow
//                      control on, as many serial devices do before a
//                      program sets them
//   --once             the faults named after it meet only the first
//                      request to their address; those before it, every one
//   --hangup-after N   N requests are answered; at the next one the line is
//                      closed on both sides and the program ends
//   --timing           for each reply, once its last character is written,
//                      a line "exchange FIRST LAST" on stderr: when the
//                      request's first character was read and when that
//                      last character went, in seconds since the epoch
//                      with microseconds (the clock of date +%s.%N), so that
//                      a script can set the line's own span beside the
//                      program's run
//
// ADDR is a byte address as the request frame carries it, in hexadecimal
// (0x510, 0x200050), or word:N for parameter word N (0x200000 + 2N). One
// fault per address: a later option for the same address replaces it. A
// refused or unanswered write is not stored; a write whose reply is spoiled
// on the line is.

#include "domain/common/FileIo.h"
#include "domain/datafile/DataSetFormat.h"
#include "siminverter/SimInverter.h"
#include "siminverter/SimOptions.h"
#include "siminverter/SimPty.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <string>
#include <string_view>
#include <vector>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int)
{
    g_stop = 1;
}

// How long to sleep when neither the program nor a reply needs anything.
constexpr int IdlePollMs = 200;

// A moment of the line's steady clock as seconds since the epoch.
double epochSeconds(tess::sim::SimPty::Clock::time_point moment)
{
    const auto sinceThen = tess::sim::SimPty::Clock::now() - moment;
    return std::chrono::duration<double>((std::chrono::system_clock::now() - sinceThen).time_since_epoch()).count();
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--help") {
            std::fputs(tess::sim::SimUsageText, stdout);
            return 0;
        }
    }
    std::string error;
    const std::optional<tess::sim::SimOptions> options
        = tess::sim::parseSimOptions(std::vector<std::string>(argv + 1, argv + argc), &error);
    if (!options) {
        std::fprintf(stderr, "%s\n%s", error.c_str(), tess::sim::SimUsageText);
        return 2;
    }
    const std::string& path = options->dataSetPath;

    std::string bytes;
    if (!tess::readFileBytes(path, bytes)) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return 1;
    }
    const tess::datafile::ParsedDataSet dataSet = tess::datafile::parseDataSet(bytes);
    if (dataSet.status == tess::datafile::ParseStatus::InvalidHeader) {
        std::fprintf(stderr, "%s is no console data file\n", path.c_str());
        return 1;
    }
    std::string identityText = options->identityText;
    if (identityText.empty())
        identityText = tess::sim::identityTextFor(dataSet.identity.model, dataSet.identity.romVersion);
    if (identityText.size() != 10) {
        std::fprintf(stderr, "no identity text for this data set; give ten characters with --identity\n");
        return 1;
    }

    tess::sim::SimInverter inverter;
    inverter.loadDataSet(identityText, dataSet.identity, dataSet.values);
    inverter.faults = options->faults;
    inverter.hangUpAfter = options->hangUpAfter;
    tess::sim::SimPty pty;
    if (!pty.open(&error, options->flowControl)) {
        std::fprintf(stderr, "cannot open a pseudo-terminal: %s\n", error.c_str());
        return 1;
    }
    pty.setBaud(options->baud);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::printf("%s\n", pty.slavePath().c_str());
    std::fflush(stdout);

    std::size_t writes = 0;
    while (!g_stop) {
        pollfd master {pty.masterFd(), POLLIN, 0};
        const int due = pty.msUntilDue();
        if (poll(&master, 1, due < 0 ? IdlePollMs : due) < 0)
            continue;
        if (!pty.pump(inverter)) {
            std::fprintf(stderr, "the pseudo-terminal failed\n");
            return 1;
        }
        for (const tess::sim::SimPty::Exchange& exchange : pty.takeExchanges()) {
            if (options->timing)
                std::fprintf(stderr, "exchange %.6f %.6f\n", epochSeconds(exchange.requestSeen),
                    epochSeconds(exchange.replyDone));
        }
        if (inverter.writtenAddresses.size() != writes) {
            writes = inverter.writtenAddresses.size();
            std::fprintf(stderr, "%zu words written\n", writes);
        }
        if (pty.hungUp()) {
            std::fprintf(stderr, "hung up after %zu requests\n", *options->hangUpAfter);
            return 0;
        }
    }
    return 0;
}
