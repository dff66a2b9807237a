#include "gui/comm/CommSettingsDialog.h"

#include "gui/common/Placement.h"
#include "gui/common/QtText.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>

namespace tess::gui {
namespace {

constexpr int FormWidth = 241;
constexpr int FormHeight = 172;

// The object names of the form and its controls, by meaning.
namespace objectName {
constexpr const char* window = "ComSetForm";
constexpr const char* portGroup = "RadioGroup1";
constexpr const char* ports = "ComboBox1";
constexpr const char* waitLabel = "Label1";
constexpr const char* wait = "Edit1";
constexpr const char* waitUnit = "Label2";
constexpr const char* close = "Button2";
} // namespace objectName

} // namespace

CommSettingsDialog::CommSettingsDialog(Workspace& ws, UserStore& store, QWidget* parent)
    : QDialog(parent)
    , m_core(ws, store)
{
    setObjectName(QString::fromLatin1(objectName::window));
    if (parent)
        setFont(parent->font());
    build();

    const comm::CommSetCaptions captions = m_core.captions();
    setWindowTitle(fromUtf8(captions.title));
    m_portGroup->setTitle(fromUtf8(captions.portFrame));
    m_waitLabel->setText(fromUtf8(captions.waitLabel));
    m_unit->setText(fromUtf8(captions.waitUnit));
    m_close->setText(fromUtf8(captions.close));

    QStringList items;
    for (const std::string& item : m_core.portItems())
        items << fromUtf8(item);
    m_ports->addItems(items);
    m_ports->setCurrentIndex(m_core.selectedPort());
    m_wait->setValue(m_core.writeWaitMs());
}

void CommSettingsDialog::build()
{
    m_portGroup = new QGroupBox(this);
    m_portGroup->setObjectName(QString::fromLatin1(objectName::portGroup));
    m_portGroup->setGeometry(8, 8, FormWidth - 16, 56);
    m_ports = new QComboBox(m_portGroup);
    m_ports->setObjectName(QString::fromLatin1(objectName::ports));
    m_ports->setGeometry(16, 22, 120, 24);
    // The list can be typed into; typing never adds items to it.
    m_ports->setEditable(true);
    m_ports->setInsertPolicy(QComboBox::NoInsert);
    m_ports->setMaxVisibleItems(16);

    m_waitLabel = new QLabel(this);
    m_waitLabel->setObjectName(QString::fromLatin1(objectName::waitLabel));
    m_waitLabel->setGeometry(8, 74, FormWidth - 16, 18);
    m_wait = new QSpinBox(this);
    m_wait->setObjectName(QString::fromLatin1(objectName::wait));
    m_wait->setGeometry(24, 96, 96, 24);
    m_wait->setRange(comm::WriteWaitMinMs, comm::WriteWaitMaxMs);
    m_wait->setSingleStep(comm::WriteWaitStepMs);
    m_wait->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    m_unit = new QLabel(this);
    m_unit->setObjectName(QString::fromLatin1(objectName::waitUnit));
    m_unit->setGeometry(128, 100, 48, 18);

    m_close = new QPushButton(this);
    m_close->setObjectName(QString::fromLatin1(objectName::close));
    m_close->setGeometry(FormWidth - 89, FormHeight - 35, 81, 25);
    m_close->setAutoDefault(false);
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

void CommSettingsDialog::onClose()
{
    // What the list shows decides, typed or picked; a half-typed wait falls
    // back to the last whole value.
    m_core.selectPort(comm::portIndexOfTyped(toUtf8(m_ports->currentText())));
    m_wait->interpretText();
    m_core.setWriteWaitMs(m_wait->value());
    m_core.close();
    accept();
}

} // namespace tess::gui
