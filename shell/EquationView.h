#pragma once

#include <QImage>
#include <QWidget>

// Equazioni: shows a fixed picture unscaled at its top-left corner, cut off
// by its own edges. Beside the picture it shows either a system colour or,
// with none given, the window's own background.
class EquationView : public QWidget {
    Q_OBJECT
public:
    EquationView(QImage picture, QWidget* parent);
    const QImage& picture() const { return picture_; }

    // System colour index of the background, 0 for the window's background.
    void setSystemBackground(int systemColourIndex);
    int systemBackground() const { return systemBackground_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    int systemBackground_ = 0;
};
