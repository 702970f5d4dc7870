#include "LayoutBuilder.h"

#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QString>

#include "DrawingArea.h"
#include "EquationView.h"

namespace {

QWidget* CreateControl(const ControlSpec& spec, QWidget* parent, const WindowLayout& layout)
{
    const QString text = QString::fromUtf8(spec.text);
    switch (spec.kind) {
    case ControlKind::DrawingArea:
        return new DrawingArea(parent);
    case ControlKind::EquationPicture:
        return new EquationView(layout.equationPicture ? layout.equationPicture() : QImage(), parent);
    case ControlKind::Frame:
        return new QGroupBox(text, parent);
    case ControlKind::BorderlessFrame:
        return new QWidget(parent);
    case ControlKind::Label: {
        auto* label = new QLabel(text, parent);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case ControlKind::TextField:
        return new QLineEdit(text, parent);
    case ControlKind::PushButton:
        return new QPushButton(text, parent);
    case ControlKind::RadioButton: {
        auto* radio = new QRadioButton(text, parent);
        radio->setChecked(spec.selected);
        return radio;
    }
    }
    return nullptr;
}

}  // namespace

void BuildLayout(QWidget& window, const WindowLayout& layout)
{
    window.setWindowTitle(QString::fromUtf8(layout.caption));
    window.resize(TwipsToPixels(layout.clientWidth), TwipsToPixels(layout.clientHeight));
    for (const ControlSpec& spec : layout.controls) {
        QWidget* parent = spec.parent ? window.findChild<QWidget*>(QString::fromUtf8(spec.parent)) : &window;
        if (!parent)
            parent = &window;
        QWidget* control = CreateControl(spec, parent, layout);
        control->setObjectName(QString::fromUtf8(spec.name));
        control->setGeometry(TwipsToPixels(spec.left), TwipsToPixels(spec.top), TwipsToPixels(spec.width),
                             TwipsToPixels(spec.height));
    }
}
