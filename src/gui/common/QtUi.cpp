#include "gui/common/QtUi.h"

#include "gui/common/FileDialog.h"
#include "gui/common/MessageBox.h"
#include "gui/common/QtText.h"

#include <QApplication>
#include <QCursor>

namespace tess::gui {

void QtUi::showMessage(const Message& text, Language language)
{
    MessageBox::information(m_owner, textOf(TextId::ApplicationTitle, language), fromUtf8(text.in(language)));
}

Answer QtUi::ask(const Message& text, const Message& caption, Buttons buttons, Language language)
{
    return MessageBox::question(m_owner, fromUtf8(caption.in(language)), fromUtf8(text.in(language)), buttons);
}

void QtUi::setBusy(bool busy)
{
    // Override cursors stack, so nested busy scopes restore in turn.
    if (busy)
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QApplication::restoreOverrideCursor();
}

std::optional<std::string> QtUi::chooseOpenFile(const FileDialogRequest& request)
{
    return FileDialog::chooseOpen(m_owner, request);
}

std::optional<std::string> QtUi::chooseSaveFile(const FileDialogRequest& request)
{
    return FileDialog::chooseSave(m_owner, request);
}

} // namespace tess::gui
