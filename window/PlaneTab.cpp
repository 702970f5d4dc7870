// "Piano dei parametri": the largest exponent over two of the parameters,
// which a flow's window lets the user choose.
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <cmath>

#include "engine/ExponentText.h"
#include "picture/SweepPicture.h"
#include "window/ExplorerTab.h"
#include "window/SweepCanvas.h"
#include "window/ToolHost.h"

namespace vortiquo {

namespace {

// Decimals of a pixel's exponent: its measurement leaves it uncertain in the
// second decimal, so more would be noise.
constexpr int ExponentDecimals = 2;

SweepParameter parameterAt(int index)
{
    return static_cast<SweepParameter>(index);
}

class PlaneTab final : public ExplorerTab {
public:
    PlaneTab(ToolHost& host, const SweepView& view)
        : ExplorerTab(host, view, SweepRecipe::Kind::Plane, QStringLiteral("Piano dei parametri"))
    {
        if (timedProgram(host.program())) {
            const QStringList letters = {"a", "b", "c"};
            across_ = addChoice(QStringLiteral("Orizzontale:"), letters, static_cast<int>(view.across));
            up_ = addChoice(QStringLiteral("Verticale:"), letters, static_cast<int>(view.up));
            acrossBefore_ = across_->currentIndex(), upBefore_ = up_->currentIndex();
            keepApart(across_, up_, acrossBefore_);
            keepApart(up_, across_, upBefore_);
        }
        controls().addStretch();
        addBesidePicture(colourLegend());
        setOpeningView();
    }

    QString pointerText(QPointF at) const override
    {
        QString exponent = QStringLiteral("—");
        const SweepRecipe& recipe = shown();
        const std::vector<double>& exponents = band().exponents;
        const int column = int(std::floor((at.x() - recipe.across0) / (recipe.across1 - recipe.across0) * recipe.width));
        const int row = int(std::floor((recipe.up1 - at.y()) / (recipe.up1 - recipe.up0) * recipe.height));
        if (column >= 0 && column < recipe.width && row >= 0 && row < recipe.height &&
            exponents.size() == std::size_t(recipe.width) * recipe.height) {
            const double value = exponents[std::size_t(row) * recipe.width + column];
            exponent = std::isnan(value) ? QStringLiteral("l'orbita fugge") : italianDecimal(value, ExponentDecimals);
        }
        return QStringLiteral("%1 = %2   %3 = %4   λ: %5")
            .arg(QLatin1Char(recipe.acrossParameter))
            .arg(italianDecimal(at.x(), decimalsAcross()))
            .arg(QLatin1Char(recipe.upParameter))
            .arg(italianDecimal(at.y(), decimalsUp()), exponent);
    }

    void choose(QPointF at) override
    {
        host_.typeField(fieldOf(sweepParameter(shown().acrossParameter)), typedNumber(at.x()));
        host_.typeField(fieldOf(sweepParameter(shown().upParameter)), typedNumber(at.y()));
        showMark();
    }

    void showMark() override
    {
        const SimulationState& state = host_.state();
        const SweepRecipe& recipe = shown().program != nullptr ? shown() : this->recipe(false);
        canvas().setMark(QPointF(parameterOf(state, sweepParameter(recipe.acrossParameter)),
                                 parameterOf(state, sweepParameter(recipe.upParameter))));
    }

protected:
    void fill(SweepRecipe& recipe) const override
    {
        const SweepParameter across = this->across(), up = this->up();
        recipe.acrossParameter = letterOf(across).at(0).toLatin1();
        recipe.upParameter = letterOf(up).at(0).toLatin1();
        recipe.transient = sweepView_.planeTransient;
        recipe.duration = sweepView_.planeMeasured;
        recordFields(recipe, {fieldOf(across), fieldOf(up)});
    }

    QRectF openingView() const override
    {
        const SweepSpan& across = parameterSpan(sweepView_, this->across());
        const SweepSpan& up = parameterSpan(sweepView_, this->up());
        return QRectF(across.low, up.low, across.high - across.low, up.high - up.low);
    }

private:
    SweepParameter across() const { return across_ ? parameterAt(across_->currentIndex()) : sweepView_.across; }
    SweepParameter up() const { return up_ ? parameterAt(up_->currentIndex()) : sweepView_.up; }

    // Choosing for `changed` the parameter `other` shows gives `other` the
    // one `changed` showed: the two axes never show the same parameter.
    void keepApart(QComboBox* changed, QComboBox* other, int& before)
    {
        connect(changed, &QComboBox::currentIndexChanged, this, [this, other, &before](int index) {
            if (other->currentIndex() == index) {
                const QSignalBlocker blocker(other);
                other->setCurrentIndex(before);
                (other == up_ ? upBefore_ : acrossBefore_) = before;
            }
            before = index;
        });
    }

    QWidget* colourLegend() const
    {
        auto* legend = new QWidget;
        auto* column = new QVBoxLayout(legend);
        // The scale is a number of the dynamics table, written as short as it is.
        const QString scale = QString::number(sweepView_.colourScale, 'g', 6).replace('.', ',');
        column->addWidget(new QLabel(QStringLiteral("λ ≥ +%1").arg(scale)));
        auto* bar = new QLabel;
        bar->setPixmap(QPixmap::fromImage(colourBar(24, 300, sweepView_.colourScale)));
        bar->setAccessibleName(
            QStringLiteral("Scala dei colori: da λ = +%1 in alto a −%1, grigio se l'orbita fugge").arg(scale));
        column->addWidget(bar);
        column->addWidget(new QLabel(QStringLiteral("λ ≤ −%1\ngrigio: fugge").arg(scale)));
        column->addStretch();
        return legend;
    }

    QComboBox* across_ = nullptr;
    QComboBox* up_ = nullptr;
    int acrossBefore_ = 0, upBefore_ = 0;  // what each showed before its last change
};

}  // namespace

ExplorerTab* makePlaneTab(ToolHost& host, const SweepView& view)
{
    return new PlaneTab(host, view);
}

}  // namespace vortiquo
