// tessaline-siminverter: a simulated inverter on a pseudo-terminal, for
// trying the read and write transactions without the hardware.
//
//   tessaline-siminverter [--identity TEXT] DATASET.csl
//
// Prints the slave device's path; point the program at it with
// TESSALINE_COM1=<path> (or any COMk) and read or write. The inverter holds
// the data set's values and identity; writes change its memory only.

#include "domain/common/FileIo.h"
#include "domain/datafile/DataSetFormat.h"
#include "siminverter/SimInverter.h"
#include "siminverter/SimPty.h"

#include <csignal>
#include <cstdio>
#include <poll.h>
#include <string>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int)
{
    g_stop = 1;
}

int usage()
{
    std::fprintf(stderr, "usage: tessaline-siminverter [--identity TEXT] DATASET.csl\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string identityText;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--identity" && i + 1 < argc)
            identityText = argv[++i];
        else if (!arg.empty() && arg[0] != '-' && path.empty())
            path = arg;
        else
            return usage();
    }
    if (path.empty())
        return usage();

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
    if (identityText.empty())
        identityText = tess::sim::identityTextFor(dataSet.identity.model, dataSet.identity.romVersion);
    if (identityText.size() != 10) {
        std::fprintf(stderr, "no identity text for this data set; give ten characters with --identity\n");
        return 1;
    }

    tess::sim::SimInverter inverter;
    inverter.loadDataSet(identityText, dataSet.identity, dataSet.values);
    tess::sim::SimPty pty;
    std::string error;
    if (!pty.open(&error)) {
        std::fprintf(stderr, "cannot open a pseudo-terminal: %s\n", error.c_str());
        return 1;
    }
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::printf("%s\n", pty.slavePath().c_str());
    std::fflush(stdout);

    std::size_t writes = 0;
    while (!g_stop) {
        pollfd master {pty.masterFd(), POLLIN, 0};
        if (poll(&master, 1, 200) < 0)
            continue;
        if (!pty.pump(inverter)) {
            std::fprintf(stderr, "the pseudo-terminal failed\n");
            return 1;
        }
        if (inverter.writtenAddresses.size() != writes) {
            writes = inverter.writtenAddresses.size();
            std::fprintf(stderr, "%zu words written\n", writes);
        }
    }
    return 0;
}
