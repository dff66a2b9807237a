#pragma once

#include <string>

namespace tess::sim {

class SimInverter;

// The simulated inverter on the master side of a pseudo-terminal; the
// program opens the slave side as its serial device. POSIX only.
class SimPty {
public:
    SimPty() = default;
    ~SimPty();
    SimPty(const SimPty&) = delete;
    SimPty& operator=(const SimPty&) = delete;

    // Opens the pair; false with a reason on failure.
    bool open(std::string* error);
    const std::string& slavePath() const { return m_slavePath; }
    int masterFd() const { return m_master; }

    // Reads what the program sent so far and writes the replies. False when
    // the master side failed.
    bool pump(SimInverter& inverter);

private:
    int m_master = -1;
    // Held open so that the master does not see a hang-up while the program
    // has the device closed between its transfers.
    int m_slave = -1;
    std::string m_slavePath;
};

} // namespace tess::sim
