#include "gui/mainwindow/ConversionReportDialog.h"

#include "gui/common/DialogFrame.h"
#include "gui/common/Placement.h"
#include "gui/common/QtText.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tess::gui {
namespace {

constexpr int InitialWidth = 900;
constexpr int InitialHeight = 480;

// The object names of the form and its controls, by meaning.
namespace objectName {
constexpr const char* window = "ConversionReportForm";
constexpr const char* filterCaption = "ReportFilterLabel";
constexpr const char* filter = "ReportFilterEdit";
constexpr const char* rows = "ReportRows";
constexpr const char* summary = "ReportSummary";
constexpr const char* shown = "ReportShown";
constexpr const char* save = "ReportSave";
constexpr const char* close = "ReportClose";
} // namespace objectName

QStringList joinedTexts(const std::vector<std::string>& texts)
{
    QStringList list;
    for (const std::string& text : texts)
        list << fromUtf8(text);
    return list;
}

} // namespace

ConversionReportDialog::ConversionReportDialog(Workspace& ws, Ui& ui, QWidget* parent)
    : QDialog(parent)
    , m_core(ws, ui)
{
    frameDialog(*this, objectName::window, parent);
    build();
    setWindowTitle(fromUtf8(m_core.caption()));
    m_filterCaption->setText(fromUtf8(m_core.filterCaption()));
    m_save->setText(fromUtf8(m_core.saveCaption()));
    m_close->setText(fromUtf8(m_core.closeCaption()));
    m_rows->setHorizontalHeaderLabels(joinedTexts(m_core.columnTitles()));
    m_summary->setText(joinedTexts(m_core.summaryLines()).join(QLatin1Char('\n')));
    showRows();
    resize(InitialWidth, InitialHeight);
    centreOnScreen(this);
}

void ConversionReportDialog::build()
{
    auto* layout = new QVBoxLayout(this);

    auto* filterRow = new QHBoxLayout;
    m_filterCaption = namedControl<QLabel>(objectName::filterCaption, this);
    m_filter = namedControl<QLineEdit>(objectName::filter, this);
    m_filter->setClearButtonEnabled(true);
    m_filterCaption->setBuddy(m_filter);
    filterRow->addWidget(m_filterCaption);
    filterRow->addWidget(m_filter, 1);
    layout->addLayout(filterRow);

    m_rows = namedControl<QTableWidget>(objectName::rows, 0, static_cast<int>(m_core.columnTitles().size()), this);
    m_rows->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_rows->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_rows->verticalHeader()->hide();
    m_rows->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_rows, 1);

    m_summary = namedControl<QLabel>(objectName::summary, this);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_summary);

    auto* buttons = new QHBoxLayout;
    m_shown = namedControl<QLabel>(objectName::shown, this);
    buttons->addWidget(m_shown);
    buttons->addStretch(1);
    m_save = formButton(objectName::save, this);
    m_close = formButton(objectName::close, this);
    buttons->addWidget(m_save);
    buttons->addWidget(m_close);
    layout->addLayout(buttons);

    connect(m_filter, &QLineEdit::textEdited, this, &ConversionReportDialog::onFilterEdited);
    connect(m_save, &QPushButton::clicked, this, [this] { m_core.save(); });
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
}

void ConversionReportDialog::onFilterEdited(const QString& text)
{
    m_core.setFilter(toUtf8(text));
    showRows();
}

void ConversionReportDialog::showRows()
{
    const int count = m_core.shownRowCount();
    m_rows->setRowCount(count);
    for (int row = 0; row < count; ++row) {
        const std::vector<std::string> fields = m_core.shownRow(row);
        for (int column = 0; column < static_cast<int>(fields.size()); ++column)
            m_rows->setItem(row, column, new QTableWidgetItem(fromUtf8(fields[static_cast<std::size_t>(column)])));
    }
    m_rows->resizeColumnsToContents();
    m_shown->setText(fromUtf8(m_core.shownCountText()));
}

} // namespace tess::gui
