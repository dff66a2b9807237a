#include "gui/comm/TransferHistoryDialog.h"

#include "gui/common/DialogFrame.h"
#include "gui/common/QtText.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tess::gui {
namespace {

namespace objectName {
constexpr const char* window = "TransferHistoryForm";
constexpr const char* transfers = "TransferGrid";
constexpr const char* details = "TransferWords";
constexpr const char* openDataSet = "OpenDataSetButton";
constexpr const char* compareWithDrive = "CompareDriveButton";
constexpr const char* close = "CloseButton";
} // namespace objectName

QStringList qtLines(const std::vector<std::string>& lines)
{
    QStringList list;
    for (const std::string& line : lines)
        list << fromUtf8(line);
    return list;
}

} // namespace

TransferHistoryDialog::TransferHistoryDialog(Workspace& ws, Ui& ui, QWidget* parent)
    : QDialog(parent)
    , m_core(ws, ui)
{
    setObjectName(QString::fromLatin1(objectName::window));
    const comm::TransferHistoryTexts texts = m_core.texts();
    setWindowTitle(fromUtf8(texts.caption));

    m_transfers = namedControl<QTableWidget>(objectName::transfers, this);
    m_transfers->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_transfers->setSelectionMode(QAbstractItemView::SingleSelection);
    m_transfers->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_transfers->verticalHeader()->hide();
    m_transfers->setColumnCount(static_cast<int>(texts.columnTitles.size()));
    m_transfers->setHorizontalHeaderLabels(qtLines(texts.columnTitles));

    m_details = namedControl<QPlainTextEdit>(objectName::details, this);
    m_details->setReadOnly(true);

    m_open = namedControl<QPushButton>(objectName::openDataSet, fromUtf8(texts.openDataSet), this);
    m_compare = namedControl<QPushButton>(objectName::compareWithDrive, fromUtf8(texts.compareWithDrive), this);
    m_close = namedControl<QPushButton>(objectName::close, fromUtf8(texts.close), this);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_open);
    buttons->addWidget(m_compare);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_transfers, 3);
    layout->addWidget(m_details, 2);
    layout->addLayout(buttons);
    resize(860, 520);

    m_core.reload();
    const auto& rows = m_core.rows();
    m_transfers->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const std::vector<std::string>& cells = rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < static_cast<int>(cells.size()); ++c)
            m_transfers->setItem(r, c, new QTableWidgetItem(fromUtf8(cells[static_cast<std::size_t>(c)])));
    }
    m_transfers->resizeColumnsToContents();
    m_open->setEnabled(m_core.openEnabled());
    m_compare->setEnabled(m_core.openEnabled());

    connect(m_transfers, &QTableWidget::itemSelectionChanged, this, &TransferHistoryDialog::onRowChosen);
    connect(m_open, &QPushButton::clicked, this, &TransferHistoryDialog::onOpenDataSet);
    connect(m_compare, &QPushButton::clicked, this, &TransferHistoryDialog::onCompareWithDrive);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
}

void TransferHistoryDialog::onRowChosen()
{
    const QList<QTableWidgetItem*> chosen = m_transfers->selectedItems();
    m_core.choose(chosen.isEmpty() ? -1 : chosen.front()->row());
    m_details->setPlainText(qtLines(m_core.chosenDetails()).join(QLatin1Char('\n')));
    m_open->setEnabled(m_core.openEnabled());
    m_compare->setEnabled(m_core.openEnabled());
}

void TransferHistoryDialog::onOpenDataSet()
{
    if (m_core.openChosenDataSet())
        accept();
}

void TransferHistoryDialog::onCompareWithDrive()
{
    m_comparison = m_core.compareChosenWithDrive();
    if (m_comparison)
        accept();
}

} // namespace tess::gui
