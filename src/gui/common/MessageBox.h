#pragma once

#include "app/common/Ui.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace tess::gui {

// Every message box of the program goes through here, so that tests can
// answer boxes without showing them.
class MessageBox {
public:
    // A plain box with an OK button.
    static void information(QWidget* parent, const QString& caption, const QString& text);
    // A question with a question icon; Yes is the default button.
    static Answer question(QWidget* parent, const QString& caption, const QString& text, Buttons buttons);

    // Test hooks. The next box is not shown and gives this answer (an
    // information box takes any answer as OK). Answers queue up.
    static void setNextAnswer(Answer answer);
    // While on, a box without a queued answer is not shown either: an
    // information box counts as confirmed, a question as cancelled.
    static void setShowNothing(bool on);
    // The texts of the boxes so far, shown or answered, oldest first.
    static QStringList texts();
    static void clearTexts();
};

} // namespace tess::gui
