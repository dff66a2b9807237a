#include "gui/common/MessageBox.h"

#include <QMessageBox>

#include <deque>
#include <optional>

namespace tess::gui {
namespace {

struct Hooks {
    std::deque<Answer> answers;
    bool showNothing = false;
    QStringList texts;
};

Hooks& hooks()
{
    static Hooks h;
    return h;
}

// The queued answer, or the one a box gives when nothing may be shown.
std::optional<Answer> answerWithoutShowing(Answer whenShowingNothing)
{
    Hooks& h = hooks();
    if (!h.answers.empty()) {
        const Answer a = h.answers.front();
        h.answers.pop_front();
        return a;
    }
    if (h.showNothing)
        return whenShowingNothing;
    return std::nullopt;
}

} // namespace

void MessageBox::information(QWidget* parent, const QString& caption, const QString& text)
{
    hooks().texts.append(text);
    if (answerWithoutShowing(Answer::Yes))
        return;
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

Answer MessageBox::question(QWidget* parent, const QString& caption, const QString& text, Buttons buttons)
{
    hooks().texts.append(text);
    if (const auto answer = answerWithoutShowing(Answer::Cancel))
        return *answer;
    QMessageBox::StandardButtons standard = QMessageBox::Yes | QMessageBox::No;
    if (buttons == Buttons::YesNoCancel)
        standard |= QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, caption, text, standard, parent);
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        // Escape or the window's close box on a Yes/No question means No.
        return buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
    }
}

void MessageBox::setNextAnswer(Answer answer)
{
    hooks().answers.push_back(answer);
}
void MessageBox::setShowNothing(bool on)
{
    hooks().showNothing = on;
}
QStringList MessageBox::texts()
{
    return hooks().texts;
}
void MessageBox::clearTexts()
{
    hooks().texts.clear();
}

} // namespace tess::gui
