#include "ModalCloser.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace soak {

ModalCloser::ModalCloser()
{
    timer_.setInterval(2);
    QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
    timer_.start();
}

QStringList ModalCloser::takeMessages()
{
    return std::exchange(messages_, {});
}

void ModalCloser::poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        messages_ << box->text();
        // A question (replace the file?) is answered yes; a message is acknowledged.
        QAbstractButton* answer = box->button(QMessageBox::Yes);
        if (!answer)
            answer = box->button(QMessageBox::Ok);
        if (answer)
            QTest::mouseClick(answer, Qt::LeftButton);
        else
            box->reject();
        return;
    }
    if (auto* dialog = qobject_cast<QFileDialog*>(modal))
        answer(dialog);
}

void ModalCloser::answer(QFileDialog* dialog)
{
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (dialog == answered_) {
        if (++extraEnters_ > 50 || !name)
            dialog->reject();
        else
            pressEnter(dialog);
        return;
    }
    ++fileDialogs_;
    if (!path_ || !name) {
        dialog->reject();
        return;
    }
    answered_ = dialog;
    extraEnters_ = 0;
    // A path typed into the open dialog is taken apart by its completion
    // and selection as they come in; the dialog is given it whole instead.
    const QString path = *std::exchange(path_, std::nullopt);
    if (dialog->acceptMode() == QFileDialog::AcceptOpen) {
        dialog->selectFile(path);
    } else {
        QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(name, path);
    }
    pressEnter(dialog);
}

// Enter on the dialog presses its default button, once the completion
// popup that typing a path opens is dismissed, as Escape would: left open,
// it takes the Enter for itself.
void ModalCloser::pressEnter(QFileDialog* dialog)
{
    while (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    QTest::keyClick(dialog, Qt::Key_Return);
}

}  // namespace soak
