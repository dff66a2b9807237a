// A full read and a full write of the parameter image through the real
// termios port, against the simulated inverter program on a pseudo-terminal
// pacing the line at 9600 baud: how close the link comes to the line's own
// time, and how much processor time it spends meanwhile.
//
// Counters (per iteration):
//   wall_s     the measured part: open, identity, image, close
//   wire_s     every request and reply character at 960 characters a second
//   waits_s    the pauses the protocol asks for: 1 ms after each exchange,
//              and the write wait after each written word
//   wall_over_wire (read), wall_over_wire_and_waits (write)
//   cpu_over_wall  user and system time of this process over wall_s; the
//              simulator runs in its own process and is not counted
#include "BenchSupport.h"
#include "app/catalogue/SelectionScript.h"
#include "app/common/Workspace.h"
#include "app/datafile/DataSetFile.h"
#include "app/mainwindow/Commands.h"
#include "app/mainwindow/DocumentGrid.h"
#include "app/startup/Startup.h"
#include "domain/comm/CommLog.h"
#include "domain/comm/FrameCodec.h"
#include "domain/comm/SerialLink.h"
#include "domain/comm/SystemSerialPort.h"
#include "domain/common/Clock.h"
#include "domain/settings/UserStore.h"
#include "mkdemo/DemoInstallation.h"
#include "siminverter/SimInverter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace tess;

constexpr int Baud = 9600;
constexpr double CharsPerSecond = Baud / 10.0; // start, eight data bits, stop
constexpr int WriteWaitMs = 150;
constexpr int ExchangeWaitMs = 1; // after every exchange

// A QM71 data set with the demo table's defaults, saved in a scratch folder.
class HeldDataSet {
public:
    HeldDataSet()
    {
        std::string error;
        if (!demo::writeDemoInstallation(m_folder.path(), demo::DemoOptions {}, &error))
            throw std::runtime_error("cannot write the demo installation: " + error);
        MemoryUserStore store;
        store.writeInteger(UserValueEigo, 1);
        startUp(ws, m_ui, store, StartupEnvironment {m_folder.file("tessaline"), "", "", ""});
        catalogue::ScriptedSelection selection;
        catalogue::SelectionChoice choice;
        choice.model = catalogue::Model::QM71;
        choice.controlMode = catalogue::defaultControlMode(catalogue::Model::QM71);
        choice.capacityIndex = catalogue::defaultCapacity(catalogue::Model::QM71);
        selection.choices.push_back(choice);
        newDocument(ws, m_ui, selection);
        if (!ws.doc.state.open)
            throw std::runtime_error("no data set from the demo tables");
        // Values that differ word by word, so that a shifted image shows.
        for (int slot = 0; slot < SlotCount - 2; ++slot)
            ws.doc.values[static_cast<std::size_t>(slot)] = slot * 37 - 5000;
        path = m_folder.file("held.csl");
        if (datafile::writeDataSet(ws, m_ui, path, datafile::SaveMode::Save) != datafile::SaveResult::Saved)
            throw std::runtime_error("cannot save the data set");
    }

private:
    bench::ScratchFolder m_folder;
    bench::QuietUi m_ui;

public:
    Workspace ws;
    std::string path;
};

const HeldDataSet& heldDataSet()
{
    static const HeldDataSet held;
    return held;
}

// The simulator program as a child process, its line paced at 9600 baud and
// named COM1 for the port; ended with SIGTERM.
class SimulatorProcess {
public:
    explicit SimulatorProcess(const std::string& dataSetPath)
    {
        int out[2];
        if (pipe(out) != 0)
            throw std::runtime_error("no pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        const std::string baud = std::to_string(Baud);
        std::vector<char*> argv {const_cast<char*>(TESS_SIMINVERTER), const_cast<char*>("--baud"),
            const_cast<char*>(baud.c_str()), const_cast<char*>(dataSetPath.c_str()), nullptr};
        const int spawned = posix_spawn(&m_pid, TESS_SIMINVERTER, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        if (spawned != 0) {
            ::close(out[0]);
            m_pid = -1;
            throw std::runtime_error("cannot start the simulator");
        }
        // Its first line is the slave device's path.
        std::string line;
        pollfd input {out[0], POLLIN, 0};
        char c = 0;
        while (poll(&input, 1, 10000) > 0 && ::read(out[0], &c, 1) == 1 && c != '\n')
            line += c;
        ::close(out[0]);
        if (!line.starts_with("/dev/"))
            throw std::runtime_error("the simulator named no device");
        setenv("TESSALINE_COM1", line.c_str(), 1);
    }
    ~SimulatorProcess()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

private:
    pid_t m_pid = -1;
};

// Characters on the line and exchanges of a transfer, from the frames as
// they are sent and answered.
struct LineUse {
    std::size_t chars = 0;
    int exchanges = 0;

    void read(std::uint32_t address, int count)
    {
        chars += comm::buildRequestFrame(comm::FrameRequest::read(address, static_cast<std::uint8_t>(count))).size();
        chars += sim::dataReplyText(address, std::vector<std::uint8_t>(static_cast<std::size_t>(count))).size();
        ++exchanges;
    }
    void write(int word)
    {
        chars += comm::buildRequestFrame(comm::FrameRequest::write(comm::ImageAddress + 2 * word, 0)).size();
        chars += sim::ackReplyText().size();
        ++exchanges;
    }
    void identity()
    {
        for (int i = 0; i < 10; ++i)
            read(comm::IdentityAddress + i, 10);
        for (int i = 0; i < 4; ++i)
            read(comm::ModeCapacityAddress + i, 4);
    }
    double wireSeconds() const { return static_cast<double>(chars) / CharsPerSecond; }
};

double processCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds
        = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// One transaction's link on COM1 with the held data set.
struct Transfer {
    explicit Transfer(const HeldDataSet& held, char direction)
        : link(port, systemClock(), settings, comm::LinkDataSet {held.ws.doc.values, gridSource(held.ws)}, state, log)
    {
        settings.portName = "COM1";
        settings.writeWaitMs = WriteWaitMs;
        state.commDirection = direction;
        state.commPhase = comm::CommandRead;
        state.writeWholeImage = direction == comm::CommandWrite;
    }

    // Open, identity, image, close: 0 when every step succeeded.
    int run()
    {
        if (link.openCommPort())
            return -1;
        int result = link.readIdentityBlock(comm::IdentityAddress, 10);
        if (result == 0)
            result = link.readIdentityBlock(comm::ModeCapacityAddress, 4);
        if (result == 0) {
            state.commPhase = state.commDirection;
            result = link.transferParameterImage();
        }
        link.closeCommPort();
        return result;
    }

    comm::SystemSerialPort port;
    comm::LinkSettings settings;
    comm::LinkState state;
    comm::CommLog log;
    comm::SerialLink link;
};

struct Measured {
    double wall = 0;
    double cpu = 0;
};

// Runs one transfer per iteration, prepared before the measured part and
// checked after it; false, with the benchmark's error set, after a failure.
bool measure(benchmark::State& state, char direction, const std::function<void(Transfer&)>& prepare,
    const std::function<bool(const Transfer&)>& check, Measured& total)
{
    const HeldDataSet& held = heldDataSet();
    for (auto _ : state) {
        state.PauseTiming();
        Transfer transfer(held, direction);
        prepare(transfer);
        state.ResumeTiming();

        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = processCpuSeconds();
        const int result = transfer.run();
        total.cpu += processCpuSeconds() - cpuStart;
        total.wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

        if (result != 0 || !check(transfer)) {
            const std::string last = transfer.log.size() ? transfer.log.lines().back() : "";
            state.SkipWithError(("the transfer failed: " + last).c_str());
            return false;
        }
    }
    return true;
}

void report(benchmark::State& state, const Measured& total, const LineUse& line, double waits, double reference,
    const char* ratioName)
{
    const double wall = total.wall / static_cast<double>(state.iterations());
    state.counters["wall_s"] = wall;
    state.counters["wire_s"] = line.wireSeconds();
    state.counters["waits_s"] = waits;
    state.counters[ratioName] = wall / reference;
    state.counters["cpu_over_wall"] = total.cpu / total.wall;
}

void BM_FullRead(benchmark::State& state)
{
    SimulatorProcess simulator(heldDataSet().path);
    const auto imageIsTheHeldOne = [](const Transfer& transfer) {
        // The last two words hold the control mode and the capacity.
        const ParameterSet& values = heldDataSet().ws.doc.values;
        for (std::size_t word = 0; word + 2 < SlotCount; ++word) {
            const auto held = static_cast<std::uint16_t>(values[word] & 0xFFFF);
            if (transfer.state.image[2 * word] != held >> 8 || transfer.state.image[2 * word + 1] != (held & 0xFF))
                return false;
        }
        return true;
    };
    const auto nothingToPrepare = [](Transfer&) {};
    Measured total;
    if (!measure(state, comm::CommandRead, nothingToPrepare, imageIsTheHeldOne, total))
        return;
    LineUse line;
    line.identity();
    for (int position = 0; position < comm::ImageBytes; position += comm::ImageChunk)
        line.read(comm::ImageAddress + position, std::min(comm::ImageChunk, comm::ImageBytes - position));
    // The 1 ms pauses count as the link's own time: the ratio is to the wire alone.
    const double waits = line.exchanges * ExchangeWaitMs / 1000.0;
    report(state, total, line, waits, line.wireSeconds(), "wall_over_wire");
}
BENCHMARK(BM_FullRead)->Iterations(3)->UseRealTime()->Unit(benchmark::kSecond);

void BM_FullWrite(benchmark::State& state)
{
    SimulatorProcess simulator(heldDataSet().path);
    Measured total;
    const auto calibrate = [](Transfer& transfer) { transfer.link.calibrateWriteWait(); };
    const auto resultSays = [](const Transfer&) { return true; };
    if (!measure(state, comm::CommandWrite, calibrate, resultSays, total))
        return;
    LineUse line;
    line.identity();
    for (int word = 0; word < SlotCount; ++word)
        line.write(word);
    const double waits = (line.exchanges * ExchangeWaitMs + SlotCount * WriteWaitMs) / 1000.0;
    report(state, total, line, waits, line.wireSeconds() + waits, "wall_over_wire_and_waits");
}
BENCHMARK(BM_FullWrite)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

} // namespace
