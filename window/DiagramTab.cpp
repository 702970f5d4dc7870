// "Diagramma delle orbite": one parameter swept across, and up the values a
// map's orbit takes or the maxima of a flow's coordinate.
#include <QComboBox>
#include <QHBoxLayout>

#include "engine/ExponentText.h"
#include "window/ExplorerTab.h"
#include "window/ToolHost.h"

namespace vortiquo {

namespace {

class DiagramTab final : public ExplorerTab {
public:
    DiagramTab(ToolHost& host, const SweepView& view)
        : ExplorerTab(host, view, SweepRecipe::Kind::Orbits, QStringLiteral("Diagramma delle orbite"))
    {
        const bool flow = timedProgram(host.program());
        varied_ = addChoice(QStringLiteral("Parametro:"), flow ? QStringList{"a", "b", "c"} : QStringList{"a", "b"},
                            static_cast<int>(view.varied));
        if (flow)
            recorded_ = addChoice(QStringLiteral("Massimi di:"), {"x", "y", "z"}, static_cast<int>(view.recorded));
        controls().addStretch();
        setOpeningView();
    }

    QString pointerText(QPointF at) const override
    {
        const QString value = timedProgram(host_.program()) ? QStringLiteral("massimo di %1").arg(QLatin1Char(shown().of))
                                                            : QString(QLatin1Char(shown().of));
        return QStringLiteral("%1 = %2   %3 = %4")
            .arg(QLatin1Char(shown().vary))
            .arg(italianDecimal(at.x(), decimalsAcross()), value, italianDecimal(at.y(), decimalsUp()));
    }

    void choose(QPointF at) override { host_.typeField(fieldOf(sweepParameter(shown().vary)), typedNumber(at.x())); }

protected:
    void fill(SweepRecipe& recipe) const override
    {
        recipe.vary = letterOf(varied()).at(0).toLatin1();
        recipe.of = letterOf(recorded()).at(0).toLatin1();
        recipe.transient = sweepView_.diagramTransient;
        recipe.duration = sweepView_.diagramDuration;
        recordFields(recipe, {fieldOf(varied())});
    }

    QRectF openingView() const override
    {
        const SweepSpan& across = varied() == sweepView_.varied ? sweepView_.variedSpan
                                                                : parameterSpan(sweepView_, varied());
        const SweepSpan& up = sweepView_.valueSpans[static_cast<std::size_t>(recorded())];
        return QRectF(across.low, up.low, across.high - across.low, up.high - up.low);
    }

private:
    SweepParameter varied() const { return static_cast<SweepParameter>(varied_->currentIndex()); }
    Coordinate recorded() const
    {
        return recorded_ ? static_cast<Coordinate>(recorded_->currentIndex()) : sweepView_.recorded;
    }

    QComboBox* varied_ = nullptr;
    QComboBox* recorded_ = nullptr;
};

}  // namespace

ExplorerTab* makeDiagramTab(ToolHost& host, const SweepView& view)
{
    return new DiagramTab(host, view);
}

}  // namespace vortiquo
