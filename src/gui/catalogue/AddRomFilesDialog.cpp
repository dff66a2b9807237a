#include "gui/catalogue/AddRomFilesDialog.h"

#include "gui/common/DialogFrame.h"
#include "gui/common/QtText.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace tess::gui {
namespace {

// The object names of the form's controls, by meaning; model choice i is
// "RadioButton<i + 1>".
namespace objectName {
constexpr const char* window = "addROM";
constexpr const char* modelFrame = "RadioGroup1";
constexpr const char* modelChoice = "RadioButton%1";
constexpr const char* listCaption = "Label2";
constexpr const char* list = "ListBox1";
constexpr const char* count = "Label1";
constexpr const char* select = "Button1";
constexpr const char* add = "Button2";
constexpr const char* close = "Button3";
constexpr const char* clear = "Button4";
} // namespace objectName

constexpr int FormWidth = 345;
constexpr int FormHeight = 292;
constexpr int RadioColumns = 3;

QPushButton* button(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* b = formButton(name, parent);
    b->setGeometry(geometry);
    return b;
}

} // namespace

AddRomFilesDialog::AddRomFilesDialog(Workspace& ws, Ui& ui, QWidget* parent)
    : QDialog(parent)
    , m_core(ws, ui)
{
    frameDialog(*this, objectName::window, parent);
    build();
    const catalogue::AddRomCaptions captions = m_core.captions();
    setWindowTitle(fromUtf8(captions.title));
    m_modelFrame->setTitle(fromUtf8(captions.machine));
    m_listCaption->setText(fromUtf8(captions.addFileName));
    m_select->setText(fromUtf8(captions.select));
    m_clear->setText(fromUtf8(captions.clear));
    m_add->setText(fromUtf8(captions.add));
    m_close->setText(fromUtf8(captions.close));
    refresh();
}

void AddRomFilesDialog::build()
{
    m_modelFrame = namedControl<QGroupBox>(objectName::modelFrame, this);
    m_modelFrame->setGeometry(8, 8, FormWidth - 16, 100);
    auto* grid = new QGridLayout(m_modelFrame);
    m_models = new QButtonGroup(this);
    const auto choices = catalogue::romFileModelChoices();
    const int perColumn = (int(choices.size()) + RadioColumns - 1) / RadioColumns;
    for (int i = 0; i < int(choices.size()); ++i) {
        auto* radio = new QRadioButton(fromUtf8(choices[std::size_t(i)].name()), m_modelFrame);
        radio->setObjectName(QString::fromLatin1(objectName::modelChoice).arg(i + 1));
        // Filled column by column, like the items of a radio group.
        grid->addWidget(radio, i % perColumn, i / perColumn);
        m_models->addButton(radio, i);
    }
    connect(m_models, &QButtonGroup::idClicked, this, &AddRomFilesDialog::onModelChosen);

    m_listCaption = namedControl<QLabel>(objectName::listCaption, this);
    m_listCaption->setGeometry(8, 116, 160, 16);
    m_list = namedControl<QListWidget>(objectName::list, this);
    m_list->setGeometry(8, 134, 240, 124);
    m_count = namedControl<QLabel>(objectName::count, this);
    m_count->setGeometry(8, 264, 160, 18);

    m_select = button(this, objectName::select, QRect(256, 134, 81, 25));
    m_clear = button(this, objectName::clear, QRect(256, 166, 81, 25));
    m_add = button(this, objectName::add, QRect(256, 198, 81, 25));
    m_close = button(this, objectName::close, QRect(256, 258, 81, 25));
    connect(m_select, &QPushButton::clicked, this, &AddRomFilesDialog::onSelect);
    connect(m_add, &QPushButton::clicked, this, &AddRomFilesDialog::onAdd);
    connect(m_close, &QPushButton::clicked, this, &AddRomFilesDialog::onClose);
    connect(m_clear, &QPushButton::clicked, this, &AddRomFilesDialog::onClear);

    setFixedSize(FormWidth, FormHeight);
}

void AddRomFilesDialog::refresh()
{
    if (m_core.chosenModel() < 0 && m_models->checkedButton()) {
        // An exclusive group keeps one button checked; lift that to clear it.
        m_models->setExclusive(false);
        m_models->checkedButton()->setChecked(false);
        m_models->setExclusive(true);
    } else if (m_core.chosenModel() >= 0) {
        m_models->button(m_core.chosenModel())->setChecked(true);
    }
    QStringList names;
    for (const std::string& name : m_core.listNames())
        names << fromPath(name);
    m_list->clear();
    m_list->addItems(names);
    m_count->setText(fromUtf8(m_core.fileCountText()));
    m_select->setEnabled(m_core.selectEnabled());
    m_add->setEnabled(m_core.addEnabled());
}

void AddRomFilesDialog::onModelChosen(int choice)
{
    m_core.chooseModel(choice);
    refresh();
}

void AddRomFilesDialog::onSelect()
{
    m_core.select();
    refresh();
}

void AddRomFilesDialog::onAdd()
{
    m_core.add();
    refresh();
}

void AddRomFilesDialog::onClose()
{
    m_core.close();
    refresh();
    accept();
}

void AddRomFilesDialog::onClear()
{
    m_core.clear();
    refresh();
}

} // namespace tess::gui
