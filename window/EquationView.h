#pragma once

#include <QImage>
#include <QWidget>

#include "program/LayoutTable.h"

namespace vortiquo {

// Equazioni: shows a fixed picture unscaled at its top-left corner, cut off
// by its own edges. Beside the picture it shows either a system colour or,
// with none given, the window's own background. The picture is drawn at the
// device pixel ratio of the screen the view is on, and drawn again when the
// view lands on a screen of another ratio, so it stays sharp.
class EquationView : public QWidget {
    Q_OBJECT
public:
    // draw: nullptr for an empty view.
    EquationView(EquationPictureFunction draw, QWidget* parent);

    // System colour index of the background, 0 for the window's background.
    void setSystemBackground(int systemColourIndex);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawPictureAt(double devicePixelRatio);

    EquationPictureFunction draw_;
    QImage picture_;
    int systemBackground_ = 0;
};

}  // namespace vortiquo
