#include "window/ScalingChart.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QLocale>
#include <QLogValueAxis>
#include <QScatterSeries>
#include <algorithm>
#include <cmath>

namespace vortiquo {

namespace {

enum SeriesIndex { InRange, OutOfRange, FittedLine };

QLogValueAxis* logAxis(const QString& title)
{
    auto* axis = new QLogValueAxis;
    axis->setTitleText(title);
    axis->setBase(10);
    axis->setLabelFormat(QStringLiteral("%.0e"));  // 1E-03: powers of ten
    return axis;
}

// A tick at every one, two or more powers of ten: at most six, so that their labels fit.
void setLogRange(QLogValueAxis* axis, double low, double high)
{
    const double decades = std::log10((high * 2) / (low / 2));
    axis->setBase(std::pow(10.0, std::max(1.0, std::ceil(decades / 6))));
    axis->setRange(low / 2, high * 2);
}

}  // namespace

ScalingChart::ScalingChart(QWidget* parent, const QString& title, const QString& scaleTitle,
                           const QString& countTitle)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    QLocale italian(QLocale::Italian, QLocale::Italy);
    italian.setNumberOptions(QLocale::OmitGroupSeparator);
    chart->setLocalizeNumbers(true);
    chart->setLocale(italian);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));

    auto* inRange = new QScatterSeries(chart);
    inRange->setName(QStringLiteral("nel tratto rettilineo"));
    inRange->setMarkerSize(8);
    auto* outOfRange = new QScatterSeries(chart);
    outOfRange->setName(QStringLiteral("fuori dal tratto"));
    outOfRange->setMarkerSize(8);
    outOfRange->setColor(Qt::white);
    outOfRange->setBorderColor(Qt::gray);
    auto* line = new QLineSeries(chart);
    line->setName(QStringLiteral("retta adattata"));
    line->setPen(QPen(Qt::darkRed, 2));
    for (QAbstractSeries* series : std::initializer_list<QAbstractSeries*>{inRange, outOfRange, line})
        chart->addSeries(series);
    QLogValueAxis* scaleAxis = logAxis(scaleTitle);
    QLogValueAxis* countAxis = logAxis(countTitle);
    chart->addAxis(scaleAxis, Qt::AlignBottom);
    chart->addAxis(countAxis, Qt::AlignLeft);
    for (QAbstractSeries* series : chart->series()) {
        series->attachAxis(scaleAxis);
        series->attachAxis(countAxis);
    }

    view_ = new QChartView(chart, parent);
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setAccessibleName(title);
    view_->setFocusPolicy(Qt::TabFocus);  // a screen reader reaches its description from the keyboard
    view_->setMinimumSize(380, 300);
}

void ScalingChart::show(const std::vector<double>& scales, const ScalingCurve& curve, const ScalingFit& fit,
                        const QString& description)
{
    QList<QPointF> inside, outside, line;
    double lowScale = HUGE_VAL, highScale = -HUGE_VAL, lowCount = HUGE_VAL, highCount = -HUGE_VAL;
    for (std::size_t i = 0; i < scales.size() && i < curve.logCount.size(); ++i) {
        const double count = std::exp(curve.logCount[i]);
        if (!(count > 0) || !std::isfinite(count))
            continue;  // a logarithmic axis shows no 0
        const auto index = static_cast<int>(i);
        (fit.valid && index >= fit.first && index <= fit.last ? inside : outside).append({scales[i], count});
        lowScale = std::min(lowScale, scales[i]);
        highScale = std::max(highScale, scales[i]);
        lowCount = std::min(lowCount, count);
        highCount = std::max(highCount, count);
    }
    if (fit.valid)
        for (const int end : {fit.last, fit.first}) {
            const double scale = scales[static_cast<std::size_t>(end)];
            line.append({scale, std::exp(fit.intercept + fit.slope * std::log(scale))});
        }
    QChart* chart = view_->chart();
    static_cast<QScatterSeries*>(chart->series().at(InRange))->replace(inside);
    static_cast<QScatterSeries*>(chart->series().at(OutOfRange))->replace(outside);
    static_cast<QLineSeries*>(chart->series().at(FittedLine))->replace(line);
    if (lowScale < highScale && lowCount <= highCount) {
        setLogRange(static_cast<QLogValueAxis*>(chart->axes(Qt::Horizontal).first()), lowScale, highScale);
        setLogRange(static_cast<QLogValueAxis*>(chart->axes(Qt::Vertical).first()), lowCount, highCount);
    }
    view_->setAccessibleDescription(description);
}

void ScalingChart::clear(const QString& description)
{
    for (QAbstractSeries* series : view_->chart()->series())
        static_cast<QXYSeries*>(series)->clear();
    view_->setAccessibleDescription(description);
}

}  // namespace vortiquo
