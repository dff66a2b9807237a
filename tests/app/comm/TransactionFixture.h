#pragma once

// The fixture of the transaction tests: a demo workspace, a fake port with
// the simulated inverter behind it, and the dialog's presenter.

#include "app/comm/SerialTransferPresenter.h"
#include "app/mainwindow/Commands.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/comm/CommLog.h"
#include "domain/tables/TableFiles.h"
#include "support/DemoWorkspace.h"
#include "support/FakeSerialPort.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tess::comm {

using Lines = std::vector<std::string>;

inline Lines fileLines(const std::string& path)
{
    const std::string bytes = test::readFile(path);
    Lines lines;
    std::size_t from = 0;
    while (from < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", from);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(from));
            break;
        }
        lines.push_back(bytes.substr(from, end - from));
        from = end + 2;
    }
    return lines;
}

inline std::uint32_t wordAddress(int word)
{
    return ImageAddress + 2 * static_cast<std::uint32_t>(word);
}

// A workspace on the demo installation with an inverter on COM1. The
// inverter is a QM71 with the identity of a new data set of the demo.
class Transaction : public ::testing::Test {
protected:
    explicit Transaction(bool specialFunctions = false)
        : demo(Language::English, specialFunctions)
    {
        demo.ws.settings.portName = "COM1";
        port.respond = [this](const std::string& frame) { return inverter(frame); };
    }

    Workspace& ws() { return demo.ws; }
    Document& doc() { return demo.ws.doc; }
    test::FakeUi& ui() { return demo.ui; }
    std::string file(const std::string& name) const { return demo.dir.file(name); }

    // A new QM71 data set, open in the window.
    void makeNew()
    {
        ASSERT_TRUE(demo.newDefaultDataSet());
        ui().messages.clear();
    }

    // A QM71 ROM version of the demo's list, with or without a table of its
    // own for control mode 0, other than `other`.
    int qm71Rom(bool withTable, int other = -1)
    {
        for (int rom = 0; rom <= catalogue::verMax(catalogue::Model::QM71, ws().settings.fileVersion); ++rom) {
            const bool hasTable = !tables::findTableFile(ws().settings.applicationFolder, 0, 0, rom).empty();
            if (rom != other && hasTable == withTable)
                return rom;
        }
        ADD_FAILURE() << "no such ROM version in the demo";
        return 0;
    }

    static std::string qm71Text(int rom)
    {
        return "QM71 " + std::string(catalogue::romVersionText(catalogue::Model::QM71, rom).value_or("?????"));
    }

    void identify(const std::string& identityText, InverterIdentity codes)
    {
        inverter.put(IdentityAddress, identityText);
        inverter.putWord(ModeCapacityAddress, static_cast<std::uint16_t>(codes.controlMode));
        inverter.putWord(ModeCapacityAddress + 2, static_cast<std::uint16_t>(codes.capacity));
    }
    // The inverter is the open data set's.
    void identifyAsDataSet() { identify(qm71Text(doc().identity.romVersion), doc().identity); }

    // The dialog of a kind. A write runs as described, without the
    // verify read it adds by default: the tests of verify turn it on.
    SerialTransferPresenter& dialog(TransferKind kind)
    {
        m_dialog.emplace(ws(), ui(), port, clock, kind, demo.dir.path());
        m_dialog->setVerifyAfterWrite(false);
        return *m_dialog;
    }

    bool anyWriteSent() const
    {
        for (const std::string& frame : port.written)
            if (frame.size() > 2 && frame[2] == CommandWrite)
                return true;
        return false;
    }

    Lines writeLog() const
    {
        const CommLogFile log = readCommLog(demo.dir.path());
        EXPECT_EQ(log.status, CommLogReadStatus::Read);
        return log.lines;
    }

    test::DemoWorkspace demo;
    test::FakeClock clock;
    test::FakeSerialPort port {clock};
    test::FakeInverter inverter;

private:
    std::optional<SerialTransferPresenter> m_dialog;
};

} // namespace tess::comm
