#include "gui/comm/LogViewerDialog.h"

#include "gui/common/DialogFrame.h"
#include "gui/common/Placement.h"
#include "gui/common/QtText.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

namespace tess::gui {
namespace {

constexpr int FormWidth = 520;
constexpr int FormHeight = 400;

// The object names of the window and its text, by meaning.
namespace objectName {
constexpr const char* window = "LogForm";
constexpr const char* memo = "Memo1";
} // namespace objectName

} // namespace

LogViewerDialog::LogViewerDialog(
    Workspace& ws, Ui& ui, const QFont& mainWindowFont, QWidget* parent, const std::string& logFolder)
    : QWidget(parent, Qt::Tool)
    , m_core(ws, ui, logFolder)
{
    setObjectName(QString::fromLatin1(objectName::window));
    setAttribute(Qt::WA_DeleteOnClose);
    // A tool window stays above its owner; without one it keeps above all.
    if (!parent)
        setWindowFlag(Qt::WindowStaysOnTopHint);
    setFont(mainWindowFont);

    m_memo = namedControl<QPlainTextEdit>(objectName::memo, this);
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_memo);

    resize(FormWidth, FormHeight);
    applyLanguage();
}

void LogViewerDialog::applyLanguage()
{
    setWindowTitle(fromUtf8(m_core.caption()));
}

void LogViewerDialog::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Restoring from the task bar is no new showing: the edits stay.
    if (event->spontaneous())
        return;
    if (!m_centred) {
        m_centred = true;
        centreOnScreen(this);
    }
    showLogFile();
}

void LogViewerDialog::showLogFile()
{
    m_memo->clear();
    m_memo->setPlainText(fromUtf8(comm::memoText(m_core.show())));
}

void LogViewerDialog::showLogAgain()
{
    if (const auto lines = m_core.showAgain(comm::memoLines(toUtf8(m_memo->toPlainText()))))
        m_memo->setPlainText(fromUtf8(comm::memoText(*lines)));
}

void LogViewerDialog::closeEvent(QCloseEvent* event)
{
    if (m_core.isClosed() || m_core.close(comm::memoLines(toUtf8(m_memo->toPlainText()))))
        event->accept();
    else
        event->ignore();
}

} // namespace tess::gui
