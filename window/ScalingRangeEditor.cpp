#include "window/ScalingRangeEditor.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>
#include <cmath>

#include "engine/MeasureText.h"

namespace vortiquo {

// A spin box over the scales of a curve: its value v is the v-th smallest
// scale, written as the window writes numbers.
class ScaleSpinBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

    void setScales(const std::vector<double>& scales)
    {
        scales_ = scales;
        setRange(0, std::max(0, static_cast<int>(scales.size()) - 1));
    }
    int index() const { return static_cast<int>(scales_.size()) - 1 - value(); }
    void setIndex(int index) { setValue(static_cast<int>(scales_.size()) - 1 - index); }

protected:
    QString textFromValue(int value) const override
    {
        const int at = static_cast<int>(scales_.size()) - 1 - value;
        return at >= 0 && at < static_cast<int>(scales_.size()) ? scaleText(scales_[static_cast<std::size_t>(at)])
                                                                 : QString();
    }
    // A typed scale goes to the nearest of the curve's, in log scale.
    int valueFromText(const QString& text) const override
    {
        const double typed = readScale(text);
        int nearest = value();
        double closest = HUGE_VAL;
        for (std::size_t i = 0; i < scales_.size(); ++i)
            if (const double apart = std::fabs(std::log(scales_[i] / typed)); apart < closest) {
                closest = apart;
                nearest = static_cast<int>(scales_.size() - 1 - i);
            }
        return nearest;
    }
    QValidator::State validate(QString& text, int&) const override
    {
        return readScale(text) > 0 ? QValidator::Acceptable : QValidator::Intermediate;
    }

private:
    // A decimal with a comma (or a full stop); 0 when it is none.
    static double readScale(const QString& text)
    {
        bool read = false;
        const double value = QString(text).trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&read);
        return read && value > 0 && std::isfinite(value) ? value : 0;
    }

    std::vector<double> scales_;
};

ScalingRangeEditor::ScalingRangeEditor(const QString& scale, QWidget* parent)
    : QWidget(parent), from_(new ScaleSpinBox(this)), to_(new ScaleSpinBox(this)),
      automatic_(new QPushButton(QStringLiteral("Automatico"), this))
{
    auto* fromLabel = new QLabel(QStringLiteral("Tratto rettilineo: da %1 =").arg(scale), this);
    auto* toLabel = new QLabel(QStringLiteral("a %1 =").arg(scale), this);
    fromLabel->setBuddy(from_);
    toLabel->setBuddy(to_);
    from_->setAccessibleName(QStringLiteral("Inizio del tratto rettilineo, %1 più piccolo").arg(scale));
    to_->setAccessibleName(QStringLiteral("Fine del tratto rettilineo, %1 più grande").arg(scale));
    automatic_->setAccessibleDescription(QStringLiteral("Rimette il tratto trovato automaticamente"));
    for (ScaleSpinBox* box : {from_, to_}) {
        box->setMinimumWidth(100);
        connect(box, &QSpinBox::valueChanged, this, &ScalingRangeEditor::emitRange);
    }
    connect(automatic_, &QPushButton::clicked, this, [this] {
        setCurve({}, found_);  // keeps the scales, puts back the range
        emit rangeChanged(first(), last());
    });
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(fromLabel);
    layout->addWidget(from_);
    layout->addWidget(toLabel);
    layout->addWidget(to_);
    layout->addWidget(automatic_);
    layout->addStretch(1);
    clear();
}

void ScalingRangeEditor::setCurve(const std::vector<double>& scales, const ScalingFit& automatic)
{
    setting_ = true;
    if (!scales.empty()) {
        from_->setScales(scales);
        to_->setScales(scales);
    }
    found_ = automatic;
    const int count = from_->maximum() + 1;
    // With no range found, the whole curve: the user may pick a stretch of it.
    from_->setIndex(automatic.valid ? automatic.last : count - 1);
    to_->setIndex(automatic.valid ? automatic.first : 0);
    setting_ = false;
    setEnabled(count > 1);
}

void ScalingRangeEditor::clear()
{
    setting_ = true;
    from_->setScales({});
    to_->setScales({});
    setting_ = false;
    setEnabled(false);
}

int ScalingRangeEditor::first() const
{
    return std::min(from_->index(), to_->index());
}

int ScalingRangeEditor::last() const
{
    return std::max(from_->index(), to_->index());
}

void ScalingRangeEditor::emitRange()
{
    if (!setting_)
        emit rangeChanged(first(), last());
}

}  // namespace vortiquo
