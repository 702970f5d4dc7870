#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "core/FieldRules.h"
#include "picture/Recipe.h"
#include "picture/Redraw.h"

class QMenu;
class QWidget;

namespace vortiquo {

// What a save of the window's picture writes, as it stands at that moment.
struct PictureToSave {
    QImage image;                  // the picture as shown, one pixel per device pixel
    FieldTexts texts;              // the fields' texts, for the description
    std::int64_t steps = 0;        // the steps drawn, for the description
    std::optional<Recipe> recipe;  // none when the journal could not keep up
};

// The picture's own commands in a window: "Salva immagine…" (Ctrl+S),
// "Copia immagine" and "Apri immagine…" (Ctrl+O), offered by the drawing
// area's context menu (right button, Menu key, Shift+F10), by the keyboard
// anywhere in the window, and, for opening, by a file dropped on the window.
// It knows the window only through what it is given: the widgets, the
// program, and the providers of the picture; an opened picture goes back
// through pictureOpened.
class PictureActions : public QObject {
    Q_OBJECT
public:
    // What the commands ask of the window, each time they act.
    struct Sources {
        std::function<QImage()> picture;        // the picture as shown, to copy
        std::function<PictureToSave()> toSave;  // everything a save writes
    };
    // `program` is a row of the program table; `drawingArea` offers the menu.
    PictureActions(QWidget& window, QWidget& drawingArea, const Program& program, Sources sources);

    // Other commands on the picture join this menu.
    QMenu* menu() const { return menu_; }

    // Asks for a file name with Qt's own dialog and saves there.
    void save();
    // Saves to `path`; shows what went wrong if it fails. True on success.
    bool saveTo(const QString& path);
    void copy();
    // Asks for a saved picture with Qt's own dialog and opens it.
    void open();
    // Opens a saved picture: pictureOpened is emitted only when all of it is
    // sound, redrawn at the window's density of this moment. True then.
    bool openFile(const QString& path);
    // An opened picture drawn again for a screen of another density, with
    // its progress shown; none when the user cancels.
    std::optional<Redrawn> redrawForScreen(const Recipe& recipe, double ratio);

signals:
    void pictureOpened(const Recipe& recipe, const Redrawn& redrawn);

protected:
    // Files dropped on the window.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<RedrawnSaved> replayShowingProgress(const Recipe& recipe, double ratio, const QString& label);
    void warn(const QString& title, const QString& text);

    QWidget& window_;
    const Program& program_;
    Sources sources_;
    QMenu* menu_;
    QString folder_;  // where the last file was saved or opened
};

}  // namespace vortiquo
