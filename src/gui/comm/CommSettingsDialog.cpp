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

} // namespace

CommSettingsDialog::CommSettingsDialog(Workspace& ws, UserStore& store, QWidget* parent)
    : QDialog(parent)
    , m_core(ws, store)
{
    setObjectName(QStringLiteral("ComSetForm"));
    if (parent)
        setFont(parent->font());
    build();

    const comm::CommSetCaptions captions = m_core.captions();
    setWindowTitle(fromUtf8(captions.title));
    m_radioGroup->setTitle(fromUtf8(captions.portFrame));
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
    m_radioGroup = new QGroupBox(this);
    m_radioGroup->setObjectName(QStringLiteral("RadioGroup1"));
    m_radioGroup->setGeometry(8, 8, FormWidth - 16, 56);
    m_ports = new QComboBox(m_radioGroup);
    m_ports->setObjectName(QStringLiteral("ComboBox1"));
    m_ports->setGeometry(16, 22, 120, 24);
    // The list can be typed into; typing never adds items to it.
    m_ports->setEditable(true);
    m_ports->setInsertPolicy(QComboBox::NoInsert);
    m_ports->setMaxVisibleItems(16);

    m_waitLabel = new QLabel(this);
    m_waitLabel->setObjectName(QStringLiteral("Label1"));
    m_waitLabel->setGeometry(8, 74, FormWidth - 16, 18);
    m_wait = new QSpinBox(this);
    m_wait->setObjectName(QStringLiteral("Edit1"));
    m_wait->setGeometry(24, 96, 96, 24);
    m_wait->setRange(comm::WriteWaitMinMs, comm::WriteWaitMaxMs);
    m_wait->setSingleStep(comm::WriteWaitStepMs);
    m_wait->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    m_unit = new QLabel(this);
    m_unit->setObjectName(QStringLiteral("Label2"));
    m_unit->setGeometry(128, 100, 48, 18);

    m_close = new QPushButton(this);
    m_close->setObjectName(QStringLiteral("Button2"));
    m_close->setGeometry(FormWidth - 89, FormHeight - 35, 81, 25);
    m_close->setAutoDefault(false);
    connect(m_close, &QPushButton::clicked, this, &CommSettingsDialog::Button2Click);

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

void CommSettingsDialog::Button2Click()
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
