#include "gui/comm/CommSettingsDialog.h"

#include "gui/common/DialogFrame.h"
#include "gui/common/Placement.h"
#include "gui/common/QtText.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>

#include <utility>

namespace tess::gui {
namespace {

constexpr int FormWidth = 241;
constexpr int FormHeight = 244;

// The object names of the form and its controls, by meaning.
namespace objectName {
constexpr const char* window = "ComSetForm";
constexpr const char* portGroup = "RadioGroup1";
constexpr const char* ports = "ComboBox1";
constexpr const char* portDevice = "Label3";
constexpr const char* deviceLabel = "Label4";
constexpr const char* devices = "ComboBox2";
constexpr const char* waitLabel = "Label1";
constexpr const char* wait = "Edit1";
constexpr const char* waitUnit = "Label2";
constexpr const char* close = "Button2";
} // namespace objectName

} // namespace

CommSettingsDialog::CommSettingsDialog(Workspace& ws, UserStore& store, QWidget* parent, comm::DeviceLookup devices)
    : QDialog(parent)
    , m_core(ws, store, std::move(devices))
{
    frameDialog(*this, objectName::window, parent);
    build();

    const comm::CommSetCaptions captions = m_core.captions();
    setWindowTitle(fromUtf8(captions.title));
    m_portGroup->setTitle(fromUtf8(captions.portFrame));
    m_waitLabel->setText(fromUtf8(captions.waitLabel));
    m_unit->setText(fromUtf8(captions.waitUnit));
    m_close->setText(fromUtf8(captions.close));
    m_deviceLabel->setText(fromUtf8(captions.deviceLabel));

    QStringList items;
    for (const std::string& item : m_core.portItems())
        items << fromUtf8(item);
    m_ports->addItems(items);
    m_ports->setCurrentIndex(m_core.selectedPort());
    showPortDevice();
    QStringList deviceItems;
    for (const std::string& item : m_core.deviceItems())
        deviceItems << fromUtf8(item);
    m_devices->addItems(deviceItems);
    m_devices->setCurrentIndex(m_core.selectedDevice());
    // By-id names are long: the open list may be wider than the box.
    m_devices->view()->setMinimumWidth(m_devices->view()->sizeHintForColumn(0));
    m_wait->setValue(m_core.writeWaitMs());

    // Only what the user does from here on is a choice.
    connect(m_ports, &QComboBox::activated, this, &CommSettingsDialog::onPortShown);
    connect(m_ports, &QComboBox::editTextChanged, this, &CommSettingsDialog::onPortShown);
    connect(m_devices, &QComboBox::activated, this, &CommSettingsDialog::onDevicePicked);
}

void CommSettingsDialog::build()
{
    m_portGroup = namedControl<QGroupBox>(objectName::portGroup, this);
    m_portGroup->setGeometry(8, 8, FormWidth - 16, 78);
    m_ports = namedControl<QComboBox>(objectName::ports, m_portGroup);
    m_ports->setGeometry(16, 22, 120, 24);
    // The list can be typed into; typing never adds items to it.
    m_ports->setEditable(true);
    m_ports->setInsertPolicy(QComboBox::NoInsert);
    m_ports->setMaxVisibleItems(16);
    m_portDevice = namedControl<QLabel>(objectName::portDevice, m_portGroup);
    m_portDevice->setGeometry(16, 50, FormWidth - 48, 18);

    m_deviceLabel = namedControl<QLabel>(objectName::deviceLabel, this);
    m_deviceLabel->setGeometry(8, 94, FormWidth - 16, 18);
    m_devices = namedControl<QComboBox>(objectName::devices, this);
    m_devices->setGeometry(24, 114, FormWidth - 40, 24);
    m_deviceLabel->setBuddy(m_devices);

    m_waitLabel = namedControl<QLabel>(objectName::waitLabel, this);
    m_waitLabel->setGeometry(8, 146, FormWidth - 16, 18);
    m_wait = namedControl<QSpinBox>(objectName::wait, this);
    m_wait->setGeometry(24, 168, 96, 24);
    m_wait->setRange(comm::WriteWaitMinMs, comm::WriteWaitMaxMs);
    m_wait->setSingleStep(comm::WriteWaitStepMs);
    m_wait->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    m_unit = namedControl<QLabel>(objectName::waitUnit, this);
    m_unit->setGeometry(128, 172, 48, 18);

    m_close = formButton(objectName::close, this);
    m_close->setGeometry(FormWidth - 89, FormHeight - 35, 81, 25);
    connect(m_close, &QPushButton::clicked, this, &CommSettingsDialog::onClose);

    setFixedSize(FormWidth, FormHeight);
}

void CommSettingsDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    centreOnScreen(this);
}

void CommSettingsDialog::onPortShown()
{
    m_core.selectPort(comm::portIndexOfTyped(toUtf8(m_ports->currentText())));
    const QSignalBlocker quiet(m_devices);
    m_devices->setCurrentIndex(m_core.selectedDevice());
    showPortDevice();
}

void CommSettingsDialog::onDevicePicked(int index)
{
    m_core.selectDevice(index);
}

void CommSettingsDialog::showPortDevice()
{
    const QString device = fromUtf8(m_core.portDevice());
    m_portDevice->setText(device);
    // A path named by the environment may be longer than the label.
    m_portDevice->setToolTip(device);
}

void CommSettingsDialog::onClose()
{
    // Unless a device was picked, what the list shows decides, typed or
    // picked; a half-typed wait falls back to the last whole value.
    if (m_core.selectedDevice() == 0)
        m_core.selectPort(comm::portIndexOfTyped(toUtf8(m_ports->currentText())));
    m_wait->interpretText();
    m_core.setWriteWaitMs(m_wait->value());
    m_core.close();
    accept();
}

} // namespace tess::gui
