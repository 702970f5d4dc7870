#include "window/ExitPanel.h"

#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>

namespace vortiquo {

void answerNoOnEscape(QWidget& window)
{
    auto* panel = window.findChild<QWidget*>(QStringLiteral("Uscita"));
    auto* no = window.findChild<QPushButton*>(QStringLiteral("NoUscire"));
    if (!panel || !no)
        return;
    // A shortcut owned by the panel is live only while the panel is visible,
    // whichever control of the window has the focus.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), panel);
    escape->setContext(Qt::WindowShortcut);
    QObject::connect(escape, &QShortcut::activated, no, &QPushButton::click);
}

}  // namespace vortiquo
