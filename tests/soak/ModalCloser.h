#pragma once

#include <QFileDialog>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <optional>

namespace soak {

// Answers the modal dialogs that actions open, from a timer that fires
// inside their own event loops: a message box is read and closed, a file
// dialog gets the path that the action chose, typed, then Enter. A progress
// dialog is left to finish.
class ModalCloser {
public:
    ModalCloser();

    // The next file dialog gets this path; with none it is cancelled.
    void answerNextFileDialog(const QString& path) { path_ = path; }
    // The texts of the message boxes closed since the last call.
    QStringList takeMessages();
    int fileDialogsAnswered() const { return fileDialogs_; }

private:
    void poll();

    void answer(QFileDialog* dialog);
    void pressEnter(QFileDialog* dialog);

    QTimer timer_;
    std::optional<QString> path_;
    // A dialog already given its path gets another Enter until it closes.
    QPointer<QFileDialog> answered_;
    int extraEnters_ = 0;
    QStringList messages_;
    int fileDialogs_ = 0;
};

}  // namespace soak
