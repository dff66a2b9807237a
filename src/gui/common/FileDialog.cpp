#include "gui/common/FileDialog.h"

#include "gui/common/QtText.h"

#include <QFileDialog>
#include <QFileInfo>

#include <deque>

namespace tess::gui {
namespace {

struct Hooks {
    std::deque<std::optional<QString>> fileNames;
    FileDialogRequest lastRequest;
};

Hooks& hooks()
{
    static Hooks h;
    return h;
}

std::optional<std::string> run(QWidget* parent, const FileDialogRequest& request, bool save)
{
    Hooks& h = hooks();
    h.lastRequest = request;
    if (!h.fileNames.empty()) {
        const auto name = h.fileNames.front();
        h.fileNames.pop_front();
        if (!name)
            return std::nullopt;
        return toPath(*name);
    }

    QFileDialog dialog(parent);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(
        save ? QFileDialog::AnyFile : (request.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile));
    dialog.setNameFilters(qtNameFilters(request.filter).split(QStringLiteral(";;")));
    if (!request.defaultExtension.empty())
        dialog.setDefaultSuffix(fromUtf8(request.defaultExtension));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    // The name goes into the file name box, a pattern such as "*.csl" too:
    // it tells the user what the dialog looks for.
    const QString initial = fromPath(request.fileName);
    const QFileInfo info(initial);
    if (!initial.isEmpty() && info.path() != QStringLiteral("."))
        dialog.setDirectory(info.absolutePath());
    if (!info.fileName().isEmpty())
        dialog.selectFile(info.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return toPath(dialog.selectedFiles().join(QLatin1Char('\n')));
}

} // namespace

std::optional<std::string> FileDialog::chooseOpen(QWidget* parent, const FileDialogRequest& request)
{
    return run(parent, request, false);
}

std::optional<std::string> FileDialog::chooseSave(QWidget* parent, const FileDialogRequest& request)
{
    return run(parent, request, true);
}

void FileDialog::setNextFileName(std::optional<QString> path)
{
    hooks().fileNames.push_back(std::move(path));
}

FileDialogRequest FileDialog::lastRequest()
{
    return hooks().lastRequest;
}

QString qtNameFilters(std::string_view filter)
{
    const QStringList parts = fromUtf8(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString description = parts[i].trimmed();
        // Qt takes the patterns from the last parentheses of the text.
        if (description.endsWith(QLatin1Char('(') + patterns + QLatin1Char(')')))
            filters.append(description);
        else
            filters.append(description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    if (filters.isEmpty())
        filters.append(QStringLiteral("* (*)"));
    return filters.join(QStringLiteral(";;"));
}

} // namespace tess::gui
