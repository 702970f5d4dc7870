// Answering the modal dialogs that a save or an open shows, from inside
// their own event loops, as a user would.
#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QLineEdit>
#include <QTest>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

namespace interaction {

// Does `act` once the next modal dialog is up.
inline void whenDialogShows(std::function<void(QWidget*)> act)
{
    QTimer::singleShot(50, [act] {
        if (QWidget* dialog = QApplication::activeModalWidget())
            act(dialog);
        else
            whenDialogShows(act);
    });
}

// Closes the message box that the next action shows, keeping its text.
inline std::shared_ptr<QString> acceptMessage()
{
    auto text = std::make_shared<QString>();
    whenDialogShows([text](QWidget* dialog) {
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            *text = box->text();
            box->accept();
        }
    });
    return text;
}

// Types a path into Qt's file dialog and presses Enter, as a user does. The
// name field's completer may pop up while the dialog reads the folder and
// take that Enter for itself; then Enter is pressed again, until the dialog
// has closed.
inline void enterPath(QWidget* dialog, const QString& path)
{
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    if (name == nullptr) {  // another modal window came first: wait for the file dialog
        whenDialogShows([path](QWidget* next) { enterPath(next, path); });
        return;
    }
    QTest::keyClicks(name, path);
    const auto press = [dialog, name] {
        if (!dialog->isVisible())
            return;
        if (QCompleter* completer = name->completer())
            completer->popup()->hide();
        QTest::keyClick(name, Qt::Key_Return);
    };
    auto* again = new QTimer(dialog);  // dies with the dialog
    QObject::connect(again, &QTimer::timeout, dialog, press);
    again->start(100);
    press();
}

}  // namespace interaction
