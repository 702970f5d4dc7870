#include "window/DimensionWindow.h"

#include <QChartView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "engine/ExponentText.h"
#include "engine/MeasureText.h"
#include "window/DimensionComputation.h"
#include "window/ScalingChart.h"
#include "window/ScalingRangeEditor.h"
#include "window/ToolHost.h"
#include "window/Tools.h"

namespace vortiquo {

namespace {

// Long enough that typing a number computes once, at its end.
constexpr int DefaultDelayMs = 500;
constexpr int PollMs = 100;

QLabel* figureLabel(QWidget* parent, const QString& name)
{
    auto* label = new QLabel(parent);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont large = label->font();
    large.setPointSizeF(large.pointSizeF() * 1.25);
    label->setFont(large);
    label->setAccessibleName(name);
    return label;
}

// "D₂ = 2,06 ± 0,01, da r = 0,076 a r = 2,4", or why the range gives none.
QString figureLine(const QString& symbol, double dimension, const ScalingFit& fit, const QString& scale,
                   const std::vector<double>& scales)
{
    if (!fit.valid && fit.last > fit.first)
        return QStringLiteral("%1: il tratto scelto vuole almeno %2 punti, tutti con un conteggio; "
                              "allargatelo o premete «Automatico».")
            .arg(symbol)
            .arg(FewestRangePoints);
    const QString figure = dimensionText(symbol, dimension, fit);
    return fit.valid ? QStringLiteral("%1, %2").arg(figure, rangeText(scale, scales, fit)) : figure;
}

}  // namespace

DimensionWindow::DimensionWindow(ToolHost& host) : host_(host)
{
    setWindowTitle(QStringLiteral("Dimensione — %1").arg(host.program().name));
    setObjectName(QStringLiteral("Dimensione"));
    computation_ = new DimensionComputation(this);
    delay_ = new QTimer(this);
    delay_->setSingleShot(true);
    delay_->setInterval(DefaultDelayMs);
    poll_ = new QTimer(this);
    poll_->setInterval(PollMs);
    connect(delay_, &QTimer::timeout, this, &DimensionWindow::startComputation);
    connect(poll_, &QTimer::timeout, this, &DimensionWindow::showProgress);
    connect(computation_, &DimensionComputation::finished, this, &DimensionWindow::showResult);
    buildLayout();
    connect(&host, &ToolHost::fieldEdited, this, &DimensionWindow::scheduleComputation);
    connect(points_, &QSpinBox::valueChanged, this, &DimensionWindow::scheduleComputation);
}

DimensionWindow::~DimensionWindow() = default;  // the computation, a child, abandons what runs

void DimensionWindow::buildLayout()
{
    auto* pointsLabel = new QLabel(QStringLiteral("&Punti dell'orbita:"), this);
    points_ = new QSpinBox(this);
    points_->setRange(static_cast<int>(MinDimensionPoints), static_cast<int>(MaxDimensionPoints));
    points_->setSingleStep(10000);
    points_->setValue(static_cast<int>(DefaultDimensionPoints));
    points_->setAccessibleName(QStringLiteral("Punti dell'orbita"));
    points_->setAccessibleDescription(QStringLiteral("Quanti punti dell'orbita, dopo il transitorio, misurano le "
                                                     "dimensioni: più punti, tratti rettilinei più lunghi"));
    pointsLabel->setBuddy(points_);
    compute_ = new QPushButton(QStringLiteral("&Calcola"), this);
    cancel_ = new QPushButton(QStringLiteral("&Annulla"), this);
    connect(compute_, &QPushButton::clicked, this, &DimensionWindow::startComputation);
    connect(cancel_, &QPushButton::clicked, this, &DimensionWindow::cancelComputation);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 1000);
    progress_->setTextVisible(false);
    progress_->setAccessibleName(QStringLiteral("Avanzamento del calcolo"));
    auto* top = new QHBoxLayout;
    top->addWidget(pointsLabel);
    top->addWidget(points_);
    top->addWidget(compute_);
    top->addWidget(cancel_);
    top->addWidget(progress_, 1);

    status_ = new QLabel(this);
    status_->setWordWrap(true);
    status_->setAccessibleName(QStringLiteral("Stato del calcolo"));
    correlationFigure_ = figureLabel(this, QStringLiteral("Dimensione di correlazione"));
    boxFigure_ = figureLabel(this, QStringLiteral("Dimensione di conteggio delle scatole"));

    correlationChart_ = std::make_unique<ScalingChart>(this, QStringLiteral("Somma di correlazione C(r)"),
                                                       QStringLiteral("raggio r"), QStringLiteral("C(r)"));
    boxChart_ = std::make_unique<ScalingChart>(this, QStringLiteral("Scatole occupate N"),
                                               QStringLiteral("lato della scatola"), QStringLiteral("N"));
    correlationRange_ = new ScalingRangeEditor(QStringLiteral("r"), this);
    boxRange_ = new ScalingRangeEditor(QStringLiteral("lato"), this);
    connect(correlationRange_, &ScalingRangeEditor::rangeChanged, this, &DimensionWindow::setCorrelationRange);
    connect(boxRange_, &ScalingRangeEditor::rangeChanged, this, &DimensionWindow::setBoxRange);
    auto* charts = new QGridLayout;
    charts->addWidget(correlationFigure_, 0, 0);
    charts->addWidget(boxFigure_, 0, 1);
    charts->addWidget(correlationChart_->view(), 1, 0);
    charts->addWidget(boxChart_->view(), 1, 1);
    charts->addWidget(correlationRange_, 2, 0);
    charts->addWidget(boxRange_, 2, 1);
    charts->setRowStretch(1, 1);

    auto* close = new QPushButton(QStringLiteral("Chiudi"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(status_, 1);
    bottom->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(charts, 1);
    layout->addLayout(bottom);
    points_->setFocus();
    resize(1000, 640);
}

QString DimensionWindow::figuresText() const
{
    return correlationFigure_->text() + QLatin1Char('\n') + boxFigure_->text();
}

QString DimensionWindow::statusText() const
{
    return status_->text();
}

void DimensionWindow::setDelay(int milliseconds)
{
    delay_->setInterval(milliseconds);
}

void DimensionWindow::setPoints(int points)
{
    points_->setValue(points);
}

void DimensionWindow::scheduleComputation()
{
    computation_->cancel();
    if (isVisible())
        delay_->start();
}

void DimensionWindow::startComputation()
{
    delay_->stop();
    const Model& model = *host_.program().model;
    const SimulationState start = host_.start();
    const DimensionSettings settings = defaultDimensionSettings(*dynamicsOf(model), start, points_->value());
    computation_->start(model, start, settings);
    status_->setText(QStringLiteral("Calcolo in corso…"));
    progress_->setValue(0);
    compute_->setEnabled(false);
    cancel_->setEnabled(true);
    poll_->start(host_.progressIntervalMs(PollMs));
    emit computationStarted();
}

void DimensionWindow::cancelComputation()
{
    delay_->stop();
    poll_->stop();
    const bool wasRunning = computation_->running();
    computation_->cancel();
    progress_->setValue(0);
    compute_->setEnabled(true);
    cancel_->setEnabled(false);
    if (wasRunning)
        status_->setText(QStringLiteral("Calcolo annullato: «Calcola» lo riprende."));
}

void DimensionWindow::showProgress()
{
    progress_->setValue(static_cast<int>(computation_->progress() * 1000));
}

void DimensionWindow::showResult(const DimensionResult& result)
{
    poll_->stop();
    progress_->setValue(1000);
    compute_->setEnabled(true);
    cancel_->setEnabled(false);
    shown_ = result;
    if (const QString none = noDimensionText(result); !none.isEmpty()) {
        status_->setText(none);
        correlationFit_ = boxFit_ = {};
        correlationRange_->clear();
        boxRange_->clear();
    } else {
        status_->setText(result.theilerWindow == 0
                             ? QStringLiteral("%1 punti dell'orbita dopo il transitorio; contate tutte le coppie.")
                                   .arg(result.points)
                             : QStringLiteral("%1 punti dell'orbita dopo il transitorio; escluse le coppie entro %2 "
                                              "punti l'una dall'altra.")
                                   .arg(result.points)
                                   .arg(result.theilerWindow));
        correlationFit_ = result.correlationFit;
        boxFit_ = result.boxFit;
        correlationRange_->setCurve(result.correlation.radii, correlationFit_);
        boxRange_->setCurve(result.boxes.sides, boxFit_);
    }
    showFits();
    emit resultShown();
}

void DimensionWindow::setCorrelationRange(int first, int last)
{
    if (!shown_)
        return;
    correlationFit_ = fitScaling(shown_->correlationCurve, first, last);
    correlationFit_.first = first;
    correlationFit_.last = last;
    showFits();
}

void DimensionWindow::setBoxRange(int first, int last)
{
    if (!shown_)
        return;
    boxFit_ = fitScaling(shown_->boxCurve, first, last);
    boxFit_.first = first;
    boxFit_.last = last;
    showFits();
}

void DimensionWindow::showFits()
{
    if (!shown_ || shown_->outcome != Outcome::Finished) {
        const QString none = QStringLiteral("Nessuna dimensione.");
        correlationFigure_->clear();
        boxFigure_->clear();
        correlationChart_->clear(none);
        boxChart_->clear(none);
        return;
    }
    const DimensionResult& result = *shown_;
    const QString correlation = figureLine(QStringLiteral("D₂"), correlationDimension(correlationFit_),
                                           correlationFit_, QStringLiteral("r"), result.correlation.radii);
    const QString boxes = figureLine(QStringLiteral("D₀"), boxCountingDimension(boxFit_), boxFit_,
                                     QStringLiteral("lato"), result.boxes.sides);
    correlationFigure_->setText(correlation);
    correlationFigure_->setAccessibleDescription(correlation);
    boxFigure_->setText(boxes);
    boxFigure_->setAccessibleDescription(boxes);
    correlationChart_->show(result.correlation.radii, result.correlationCurve, correlationFit_,
                            QStringLiteral("log C(r) contro log r; la pendenza del tratto rettilineo è la dimensione "
                                           "di correlazione. %1")
                                .arg(correlation));
    boxChart_->show(result.boxes.sides, result.boxCurve, boxFit_,
                    QStringLiteral("log N contro log del lato; la pendenza del tratto rettilineo, cambiata di "
                                   "segno, è la dimensione di conteggio delle scatole. %1")
                        .arg(boxes));
}

void DimensionWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!computation_->running())
        startComputation();
}

void DimensionWindow::hideEvent(QHideEvent* event)
{
    cancelComputation();  // a hidden window computes nothing in the background
    status_->clear();
    QWidget::hideEvent(event);
}

void DimensionWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

DimensionWindow* openDimensionWindow(ToolHost& host)
{
    return static_cast<DimensionWindow*>(
        host.showToolWindow(DimensionTool, [&host] { return new DimensionWindow(host); }));
}

const ToolWindow DimensionTool = {"Dimensione…", "Ctrl+Shift+D", [](ToolHost& host) { openDimensionWindow(host); }};

}  // namespace vortiquo
