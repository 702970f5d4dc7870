#pragma once

#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QPoint;
class SimulationForm;

// The picture's own commands in a window: "Salva immagine…" (Ctrl+S),
// "Copia immagine" and "Apri immagine…" (Ctrl+O), offered by Grafico's
// context menu (right button, Menu key, Shift+F10), by the keyboard
// anywhere in the window, and, for opening, by a file dropped on the window.
class PictureActions : public QObject {
    Q_OBJECT
public:
    explicit PictureActions(SimulationForm& form);

    QMenu* menu() const { return menu_; }

    // Asks for a file name with Qt's own dialog and saves there.
    void save();
    // Saves to `path`; shows what went wrong if it fails. True on success.
    bool saveTo(const QString& path);
    void copy();
    // Asks for a saved picture with Qt's own dialog and opens it.
    void open();
    // Opens a saved picture: nothing changes unless all of it is sound.
    bool openFile(const QString& path);

private:
    void showMenu(const QPoint& where);
    void warn(const QString& title, const QString& text);

    SimulationForm& form_;
    QMenu* menu_;
    QString folder_;  // where the last file was saved or opened
};
