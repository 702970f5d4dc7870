// Answering the modal dialogs that a save or an open shows, from inside
// their own event loops, as a user would.
#pragma once

#include <QApplication>
#include <QMessageBox>
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

}  // namespace interaction
