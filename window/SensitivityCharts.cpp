#include "window/SensitivityCharts.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QLocale>
#include <QLogValueAxis>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "engine/ExponentText.h"

namespace vortiquo {

namespace {

QLocale italian()
{
    QLocale locale(QLocale::Italian, QLocale::Italy);
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

QLineSeries* lineSeries(QChart* chart, const QString& name)
{
    auto* series = new QLineSeries(chart);
    series->setName(name);
    chart->addSeries(series);
    return series;
}

QChartView* chartView(QWidget* parent, const QString& title, const QString& accessibleName)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setLocalizeNumbers(true);
    chart->setLocale(italian());
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    auto* view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setAccessibleName(accessibleName);
    view->setFocusPolicy(Qt::TabFocus);  // a screen reader reaches its description from the keyboard
    view->setMinimumSize(360, 220);
    return view;
}

// Attaches an axis to the chart and to every series it holds.
template <typename Axis>
Axis* attach(QChart* chart, Axis* axis, Qt::Alignment side)
{
    chart->addAxis(axis, side);
    for (QAbstractSeries* series : chart->series())
        series->attachAxis(axis);
    return axis;
}

QValueAxis* valueAxis(const QString& title)
{
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    return axis;
}

// Steps and times need no decimals at the scale of these charts.
QValueAxis* timeAxis()
{
    auto* axis = valueAxis(QStringLiteral("passo"));
    axis->setLabelFormat(QStringLiteral("%.0f"));
    return axis;
}

QString timeAxisTitle(bool timed)
{
    return timed ? QStringLiteral("tempo") : QStringLiteral("passo");
}

template <typename Series>
Series* seriesAt(QChartView* view, int index)
{
    return static_cast<Series*>(view->chart()->series().at(index));
}

// A range that holds [low, high] with a margin, and is never empty.
std::pair<double, double> padded(double low, double high)
{
    const double margin = std::max((high - low) * 0.05, std::max(std::fabs(high), 1.0) * 1e-6);
    return {low - margin, high + margin};
}

// Gives the chart's series these points, in the series' order, after its
// new ranges: those are set (by `setRanges`) while the series are empty,
// since each change of a range places every point of the chart again.
template <typename SetRanges>
void refill(QChartView* view, SetRanges&& setRanges, std::initializer_list<QList<QPointF>> points)
{
    const QList<QAbstractSeries*> series = view->chart()->series();
    for (QAbstractSeries* each : series)
        static_cast<QXYSeries*>(each)->clear();
    setRanges();
    qsizetype index = 0;
    for (const QList<QPointF>& each : points)
        static_cast<QXYSeries*>(series.at(index++))->replace(each);
}

// The range, widened to round ticks.
void setRange(QAbstractAxis* axis, std::pair<double, double> range)
{
    auto* values = static_cast<QValueAxis*>(axis);
    values->setRange(range.first, range.second);
    values->applyNiceNumbers();
}

}  // namespace

QString momentText(double time, bool timed)
{
    return timed ? QStringLiteral("tempo %1").arg(italianDecimal(time, 1))
                 : QStringLiteral("passo %1").arg(italianDecimal(time, 0));
}

SensitivityCharts::SensitivityCharts(QWidget* parent)
    : twin_(chartView(parent, QStringLiteral("Le due orbite"), QStringLiteral("Grafico delle due orbite"))),
      separation_(chartView(parent, QStringLiteral("Separazione delle orbite"),
                            QStringLiteral("Grafico della separazione"))),
      convergence_(chartView(parent, QStringLiteral("Stima dell'esponente"),
                             QStringLiteral("Grafico della stima dell'esponente")))
{
    QChart* twin = twin_->chart();
    lineSeries(twin, QStringLiteral("orbita da x0"));
    lineSeries(twin, QStringLiteral("gemella da x0 + ε"));
    attach(twin, timeAxis(), Qt::AlignBottom);
    attach(twin, valueAxis(QStringLiteral("x")), Qt::AlignLeft);

    QChart* separation = separation_->chart();
    lineSeries(separation, QStringLiteral("separazione |Δ|"));
    lineSeries(separation, QStringLiteral("crescita esponenziale stimata"))->setPen(QPen(Qt::darkRed, 2, Qt::DashLine));
    auto* parting = new QScatterSeries(separation);
    parting->setName(QStringLiteral("le orbite si separano"));
    parting->setMarkerSize(11);
    separation->addSeries(parting);
    attach(separation, timeAxis(), Qt::AlignBottom);
    auto* logarithmic = new QLogValueAxis;
    logarithmic->setTitleText(QStringLiteral("separazione |Δ|"));
    logarithmic->setBase(10);
    logarithmic->setLabelFormat(QStringLiteral("%.0e"));  // 1E-08: powers of ten
    attach(separation, logarithmic, Qt::AlignLeft);

    QChart* convergence = convergence_->chart();
    // The two estimates often agree to the pixel: the second is dashed over the first.
    lineSeries(convergence, QStringLiteral("vettore tangente"))->setPen(QPen(QColor(0x20, 0x9f, 0xdf), 3));
    lineSeries(convergence, QStringLiteral("due orbite"))->setPen(QPen(Qt::darkGreen, 1.5, Qt::DashLine));
    attach(convergence, timeAxis(), Qt::AlignBottom);
    attach(convergence, valueAxis(QStringLiteral("λ stimato")), Qt::AlignLeft);
}

void SensitivityCharts::show(const SensitivityResult& result)
{
    for (QChartView* view : {twin_, separation_, convergence_})
        view->chart()->axes(Qt::Horizontal).first()->setTitleText(timeAxisTitle(result.timed));
    showTwin(result);
    showSeparation(result);
    showConvergence(result);
}

void SensitivityCharts::showTwin(const SensitivityResult& result)
{
    QList<QPointF> orbit, twin;
    double low = HUGE_VAL, high = -HUGE_VAL;
    for (const TwinSample& sample : result.twin.samples) {
        orbit.append({sample.time, sample.x});
        twin.append({sample.time, sample.twinX});
        low = std::min({low, sample.x, sample.twinX});
        high = std::max({high, sample.x, sample.twinX});
    }
    auto* orbitSeries = seriesAt<QLineSeries>(twin_, 0);
    auto* twinSeries = seriesAt<QLineSeries>(twin_, 1);
    // A map's points are separate iterates: each is marked.
    orbitSeries->setPointsVisible(!result.timed);
    twinSeries->setPointsVisible(!result.timed);
    refill(
        twin_,
        [&] {
            if (orbit.isEmpty())
                return;
            setRange(twin_->chart()->axes(Qt::Horizontal).first(), {orbit.first().x(), orbit.last().x()});
            setRange(twin_->chart()->axes(Qt::Vertical).first(), padded(low, high));
        },
        {orbit, twin});
    if (orbit.isEmpty())
        return;
    twin_->setAccessibleDescription(
        result.parting ? QStringLiteral("x delle due orbite: coincidono, poi si separano al %1.")
                             .arg(momentText(result.parting->time, result.timed))
                       : QStringLiteral("x delle due orbite: non si separano fino al %1.")
                             .arg(momentText(orbit.last().x(), result.timed)));
}

void SensitivityCharts::showSeparation(const SensitivityResult& result)
{
    QList<QPointF> points;
    double low = HUGE_VAL, high = -HUGE_VAL;
    for (const TwinSample& sample : result.twin.samples)
        if (sample.separation > 0 && std::isfinite(sample.separation)) {  // a logarithmic axis shows no 0
            points.append({sample.time, sample.separation});
            low = std::min(low, sample.separation);
            high = std::max(high, sample.separation);
        }
    QList<QPointF> fit, parting;
    const GrowthFit& growth = result.growth;
    if (growth.valid) {
        const double start = result.twin.samples.front().time;
        const double end = result.parting ? std::max(result.parting->time, growth.endTime) : growth.endTime;
        for (const double time : {start, end})
            fit.append({time, std::exp(growth.intercept + growth.rate * time)});
    }
    if (result.parting)
        parting.append({result.parting->time, result.parting->separation});
    refill(
        separation_,
        [&] {
            if (points.isEmpty())
                return;
            setRange(separation_->chart()->axes(Qt::Horizontal).first(),
                     {result.twin.samples.front().time, result.twin.samples.back().time});
            // A tick every one, two or more powers of ten: at most seven, so
            // that their labels fit the chart's height.
            auto* logarithmic = static_cast<QLogValueAxis*>(separation_->chart()->axes(Qt::Vertical).first());
            const double decades = std::log10((high * 2) / (low / 2));
            logarithmic->setBase(std::pow(10.0, std::max(1.0, std::ceil(decades / 7))));
            logarithmic->setRange(low / 2, high * 2);
        },
        {points, fit, parting});
    if (points.isEmpty()) {
        separation_->setAccessibleDescription(QStringLiteral("Le due orbite restano sovrapposte: ε è sotto la "
                                                             "precisione dei numeri."));
        return;
    }
    QString description = QStringLiteral("La separazione cresce da %1 a %2")
                              .arg(italian().toString(points.first().y(), 'g', 2),
                                   italian().toString(high, 'g', 2));
    if (growth.valid)
        description += QStringLiteral(", in modo esponenziale al ritmo di %1 %2")
                           .arg(italianDecimal(growth.rate, 3), exponentUnit(result.timed));
    description += result.parting ? QStringLiteral("; le due orbite si separano al %1.")
                                        .arg(momentText(result.parting->time, result.timed))
                                  : QStringLiteral("; le due orbite non si separano.");
    separation_->setAccessibleDescription(description);
}

void SensitivityCharts::showConvergence(const SensitivityResult& result)
{
    QList<QPointF> tangent, twoOrbit;
    for (const ConvergencePoint& point : result.lyapunov.convergence) {
        tangent.append({point.time, point.tangent});
        if (std::isfinite(point.twoOrbit))
            twoOrbit.append({point.time, point.twoOrbit});
    }
    const bool estimated = result.lyapunov.outcome == Outcome::Finished && !tangent.isEmpty();
    refill(
        convergence_,
        [&] {
            if (!estimated)
                return;
            // The first estimates, over a few steps, swing widely: the
            // vertical range follows the last nine tenths, where the
            // estimate settles.
            double low = HUGE_VAL, high = -HUGE_VAL;
            for (qsizetype index = tangent.size() / 10; index < tangent.size(); ++index) {
                low = std::min(low, tangent[index].y());
                high = std::max(high, tangent[index].y());
                if (index < twoOrbit.size()) {
                    low = std::min(low, twoOrbit[index].y());
                    high = std::max(high, twoOrbit[index].y());
                }
            }
            const double spread = std::max(high - low, 1e-3);
            setRange(convergence_->chart()->axes(Qt::Horizontal).first(), {0.0, tangent.last().x()});
            setRange(convergence_->chart()->axes(Qt::Vertical).first(), {low - spread, high + spread});
        },
        {tangent, twoOrbit});
    if (!estimated) {
        convergence_->setAccessibleDescription(QStringLiteral("Nessuna stima dell'esponente."));
        return;
    }
    const int decimals = decimalsFor(result.lyapunov.tangent.standardError);
    convergence_->setAccessibleDescription(
        QStringLiteral("La stima di λ passa da %1 a %2 %3, fino al %4.")
            .arg(italianDecimal(tangent.first().y(), decimals), italianDecimal(tangent.last().y(), decimals),
                 exponentUnit(result.timed), momentText(tangent.last().x(), result.timed)));
}

}  // namespace vortiquo
