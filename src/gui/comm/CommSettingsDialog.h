#pragma once

#include "app/comm/CommSettingsPresenter.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace tess {
struct Workspace;
class UserStore;
} // namespace tess

namespace tess::gui {

// The serial port settings dialog. The rules are the application's CommSettingsPresenter;
// the form shows its state and hands it the user's choice on Close. Closing
// by the title-bar button (or Escape) rejects the dialog and takes nothing.
// Controls carry their program names (RadioGroup1, ComboBox1, Label1, Edit1,
// Label2, Button2) as object names, set from one table in the form's source.
// Edit1 is a spin box, whose own arrows do the work of the separate up-down
// control, so there is no UpDown1. Under the COM list, Label3 shows the
// device the COMk opens here; Label4 and ComboBox2 offer the devices present.
class CommSettingsDialog : public QDialog {
    Q_OBJECT

public:
    CommSettingsDialog(Workspace& ws, UserStore& store, QWidget* parent = nullptr,
        comm::DeviceLookup devices = comm::systemDeviceLookup());

    const comm::CommSettingsPresenter& settings() const { return m_core; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void onClose();
    void onPortShown();
    void onDevicePicked(int index);
    void showPortDevice();
    void build();

    comm::CommSettingsPresenter m_core;
    QGroupBox* m_portGroup = nullptr;
    QComboBox* m_ports = nullptr;
    QLabel* m_portDevice = nullptr;
    QLabel* m_deviceLabel = nullptr;
    QComboBox* m_devices = nullptr;
    QLabel* m_waitLabel = nullptr;
    QSpinBox* m_wait = nullptr;
    QLabel* m_unit = nullptr;
    QPushButton* m_close = nullptr;
    bool m_centred = false;
};

} // namespace tess::gui
