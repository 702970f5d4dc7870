#pragma once

#include <QImage>
#include <QWidget>

// Equazioni: shows a fixed picture unscaled at its top-left corner, cut off
// by its own edges, on the window-background colour.
class EquationView : public QWidget {
    Q_OBJECT
public:
    EquationView(QImage picture, QWidget* parent);
    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};
