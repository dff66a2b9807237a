#include "app/mainwindow/CommandStates.h"

namespace tess {

void applyNoDocumentState(CommandStates& s)
{
    s.newItem = s.newButton = true;
    s.openItem = s.openButton = true;
    s.saveItem = false;
    s.saveAsItem = s.saveAsButton = false;
    s.closeItem = s.closeButton = false;
    s.printItem = s.printButton = false;
    s.commissioningReportItem = false;
    s.dataReadItem = s.dataReadButton = true;
    s.dataWriteItem = s.dataWriteButton = false;
    s.inverterChangeItem = s.inverterChangeButton = false;
    s.compareItem = s.compareButton = false;
    s.compareDriveItem = false;
    s.endComparisonItem = false;
}

void applyNewDocumentState(CommandStates& s)
{
    s.newButton = false;
    s.openButton = false;
    s.saveAsItem = s.saveAsButton = true;
    s.closeItem = s.closeButton = true;
    s.printItem = s.printButton = true;
    s.commissioningReportItem = true;
    s.dataReadItem = s.dataReadButton = false;
    s.dataWriteItem = s.dataWriteButton = true;
    s.inverterChangeItem = s.inverterChangeButton = true;
    s.compareItem = s.compareButton = false;
    // The drive can be compared with any data set that has its table.
    s.compareDriveItem = true;
}

void applyDocumentOpenedState(CommandStates& s)
{
    applyNewDocumentState(s);
    s.compareItem = s.compareButton = true;
}

void applyRawDataSetOverrides(CommandStates& s)
{
    s.newButton = false;
    s.openButton = false;
    s.saveAsButton = true;
    s.closeButton = true;
    s.dataReadButton = false;
    s.dataWriteButton = false;
    s.commLogButton = true;
    s.inverterChangeButton = false;
    // Without a table there are no rows to lay the drive's values beside,
    // nor defaults to report the changes from.
    s.compareDriveItem = false;
    s.commissioningReportItem = false;
}

std::span<const CommandControl> commandControls()
{
    static constexpr CommandControl controls[] = {
        {"File1", &CommandStates::fileMenu},
        {"EditMenu", &CommandStates::editMenu},
        {"K1", &CommandStates::executeMenu},
        {"K4", &CommandStates::optionsMenu},
        {"KL1", &CommandStates::languageMenu},
        {"K6", &CommandStates::helpMenu},
        {"ROM1", &CommandStates::romMenu},
        {"New1", &CommandStates::newItem},
        {"Open1", &CommandStates::openItem},
        {"Save1", &CommandStates::saveItem},
        {"SaveAs1", &CommandStates::saveAsItem},
        {"Close1", &CommandStates::closeItem},
        {"F1", &CommandStates::compareItem},
        {"CompareDrive1", &CommandStates::compareDriveItem},
        {"Print1", &CommandStates::printItem},
        {"Exit1", &CommandStates::exitItem},
        {"K2", &CommandStates::dataReadItem},
        {"K3", &CommandStates::dataWriteItem},
        {"K5", &CommandStates::commSettingsItem},
        {"K8", &CommandStates::commLogItem},
        {"K9", &CommandStates::inverterChangeItem},
        {"KJ1", &CommandStates::japaneseItem},
        {"KE1", &CommandStates::englishItem},
        {"K7", &CommandStates::aboutItem},
        {"N5", &CommandStates::addRomFilesItem},
        {"Undo1", &CommandStates::undoItem},
        {"Redo1", &CommandStates::redoItem},
        {"Find1", &CommandStates::findItem},
        {"Recent1", &CommandStates::recentFilesMenu},
        {"ConversionReport1", &CommandStates::conversionReportItem},
        {"TransferHistory1", &CommandStates::transferHistoryItem},
        {"EndCompare1", &CommandStates::endComparisonItem},
        {"CommissioningReport1", &CommandStates::commissioningReportItem},
        {"SpeedButton1", &CommandStates::newButton},
        {"SpeedButton2", &CommandStates::openButton},
        {"SpeedButton3", &CommandStates::saveAsButton},
        {"SpeedButton4", &CommandStates::closeButton},
        {"SpeedButton5", &CommandStates::dataReadButton},
        {"SpeedButton6", &CommandStates::dataWriteButton},
        {"SpeedButton7", &CommandStates::commLogButton},
        {"SpeedButton8", &CommandStates::inverterChangeButton},
        {"SpeedButton9", &CommandStates::compareButton},
        {"SpeedButton10", &CommandStates::printButton},
    };
    return controls;
}

std::string_view commandControlName(bool CommandStates::*command)
{
    for (const CommandControl& control : commandControls())
        if (control.enabled == command)
            return control.name;
    return {};
}

} // namespace tess
