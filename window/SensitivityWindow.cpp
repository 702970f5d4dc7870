#include "window/SensitivityWindow.h"

#include <QChartView>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include <QtConcurrent/QtConcurrentRun>

#include "engine/ExponentText.h"
#include "engine/FaultText.h"
#include "engine/MeasureText.h"
#include "window/SensitivityCharts.h"
#include "window/BackgroundWork.h"
#include "window/RunPace.h"
#include "window/ToolHost.h"
#include "window/Tools.h"

namespace vortiquo {

namespace {

// Long enough that typing a number recomputes once, at its end.
constexpr int DefaultDelayMs = 300;
constexpr double DefaultEpsilon = 1e-8;

}  // namespace

SensitivityWindow::SensitivityWindow(ToolHost& host) : host_(host)
{
    setWindowTitle(QStringLiteral("Sensibilità — %1").arg(host.program().name));
    setObjectName(QStringLiteral("Sensibilita"));
    delay_ = new QTimer(this);
    delay_->setSingleShot(true);
    delay_->setInterval(DefaultDelayMs);
    connect(delay_, &QTimer::timeout, this, &SensitivityWindow::startComputation);
    pace_ = host.runPace(*this);
    buildLayout();
    connect(&host, &ToolHost::fieldEdited, this, &SensitivityWindow::scheduleComputation);
    connect(epsilonField_, &QLineEdit::textChanged, this, &SensitivityWindow::scheduleComputation);
}

SensitivityWindow::~SensitivityWindow()
{
    cancelRunning();
}

void SensitivityWindow::buildLayout()
{
    auto* epsilonLabel = new QLabel(QStringLiteral("&ε (scarto della gemella in x0):"), this);
    epsilonField_ = new QLineEdit(QStringLiteral("1e-8"), this);
    epsilonField_->setObjectName(QStringLiteral("epsilonT"));
    epsilonField_->setAccessibleName(QStringLiteral("ε, scarto iniziale della gemella"));
    epsilonField_->setAccessibleDescription(QStringLiteral("Un numero con il punto decimale, come 1e-8"));
    epsilonField_->setMaximumWidth(160);
    epsilonLabel->setBuddy(epsilonField_);
    epsilonHint_ = new QLabel(this);
    status_ = new QLabel(this);
    auto* top = new QHBoxLayout;
    top->addWidget(epsilonLabel);
    top->addWidget(epsilonField_);
    top->addWidget(epsilonHint_, 1);
    top->addWidget(status_);

    result_ = new QLabel(this);
    result_->setObjectName(QStringLiteral("risultato"));
    result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    result_->setWordWrap(true);
    QFont large = result_->font();
    large.setPointSizeF(large.pointSizeF() * 1.25);
    result_->setFont(large);
    result_->setAccessibleName(QStringLiteral("Esponente di Lyapunov"));

    spectrum_ = new QLabel(this);
    spectrum_->setObjectName(QStringLiteral("spettro"));
    spectrum_->setTextFormat(Qt::RichText);
    spectrum_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    spectrum_->setAccessibleName(QStringLiteral("Spettro di Lyapunov"));

    charts_ = std::make_unique<SensitivityCharts>(this);
    auto* charts = new QGridLayout;
    charts->addWidget(charts_->twinView(), 0, 0, 1, 2);
    charts->addWidget(charts_->separationView(), 1, 0);
    charts->addWidget(charts_->convergenceView(), 1, 1);

    auto* close = new QPushButton(QStringLiteral("Chiudi"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(result_);
    layout->addWidget(spectrum_);
    layout->addLayout(charts, 1);
    layout->addLayout(bottom);
    setTabOrder(epsilonField_, charts_->twinView());
    setTabOrder(charts_->twinView(), charts_->separationView());
    setTabOrder(charts_->separationView(), charts_->convergenceView());
    setTabOrder(charts_->convergenceView(), close);
    epsilonField_->setFocus();  // the one thing to type in comes first
    resize(960, 760);
}

QString SensitivityWindow::resultText() const
{
    return result_->text();
}

QString SensitivityWindow::spectrumText() const
{
    return spectrum_->accessibleDescription();
}

void SensitivityWindow::setDelay(int milliseconds)
{
    delay_->setInterval(milliseconds);
}

std::optional<double> SensitivityWindow::epsilon() const
{
    QLocale plain = QLocale::c();  // a full stop, whatever the user's locale, and no grouping
    plain.setNumberOptions(QLocale::RejectGroupSeparator);
    bool read = false;
    const double value = plain.toDouble(epsilonField_->text().trimmed(), &read);
    if (!read || value == 0 || !std::isfinite(value))
        return std::nullopt;
    return value;
}

void SensitivityWindow::scheduleComputation()
{
    ++generation_;
    cancelRunning();
    pace_->drop();  // a result that waits to be shown is stale
    if (isVisible())
        delay_->start();
}

void SensitivityWindow::cancelRunning()
{
    if (cancelRunning_)
        cancelRunning_->store(true, std::memory_order_relaxed);
    cancelRunning_.reset();
}

void SensitivityWindow::startComputation()
{
    cancelRunning();
    const std::optional<double> twinOffset = epsilon();
    epsilonHint_->setText(twinOffset ? QString()
                                     : QStringLiteral("ε vuole un numero diverso da zero, scritto con il punto: "
                                                      "1e-8 o 0.00000001"));
    if (!twinOffset)
        return;
    const Model& model = *host_.program().model;
    const SimulationState start = host_.start();
    SensitivityWork work = windowWork(*dynamicsOf(model), start, *twinOffset);
    if (exponentSteps_) {
        work.lyapunov.measuredSteps = *exponentSteps_;
        work.spectrum.measuredSteps = *exponentSteps_;
    }

    const quint64 generation = generation_;
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    cancelRunning_ = cancel;
    auto* watcher = new QFutureWatcher<SensitivityResult>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation] {
        const SensitivityResult result = watcher->result();
        watcher->deleteLater();
        const bool cancelled = wasCancelled(result);
        emit computationEnded(generation, cancelled);
        if (cancelled || generation != generation_)
            return;
        cancelRunning_.reset();
        pace_->show([this, result, generation] {
            showResult(result);
            emit resultShown(generation);
        });
    });
    status_->setText(QStringLiteral("Calcolo in corso…"));
    watcher->setFuture(QtConcurrent::run(&backgroundPool(), [&model, start, work, cancel] {
        lowerThreadPriority();
        AnalysisControl control;
        control.cancel = cancel.get();
        return computeSensitivity(model, start, work, control);
    }));
    emit computationStarted(generation);
}

void SensitivityWindow::showResult(const SensitivityResult& result)
{
    status_->clear();
    charts_->show(result);
    QStringList lines;
    if (result.twin.outcome == Outcome::Fault) {
        lines << overflowText(result.twin.faultStep);
    } else if (const QString none = noExponentText(result.lyapunov); !none.isEmpty()) {
        lines << none;
    } else {
        lines << exponentText(result.lyapunov.tangent, result.timed);
        lines << QStringLiteral("con due orbite vicine: %1").arg(exponentText(result.lyapunov.twoOrbit, result.timed));
    }
    if (result.twin.outcome == Outcome::Finished)
        lines << (result.parting ? QStringLiteral("Le due orbite si separano al %1.")
                                       .arg(momentText(result.parting->time, result.timed))
                                 : QStringLiteral("Le due orbite non si separano fino al %1.")
                                       .arg(momentText(result.twin.samples.back().time, result.timed)));
    result_->setText(lines.join(QLatin1Char('\n')));
    result_->setAccessibleDescription(lines.join(QLatin1Char(' ')));
    showSpectrum(result);
}

// A row of names over a row of values, under a line that gives the unit.
void SensitivityWindow::showSpectrum(const SensitivityResult& result)
{
    const SpectrumResult& spectrum = result.spectrum;
    if (spectrum.outcome != Outcome::Finished) {
        const QString none = result.twin.outcome == Outcome::Fault ? QString() : noSpectrumText(spectrum);
        spectrum_->setText(none.toHtmlEscaped());
        spectrum_->setAccessibleDescription(none);
        spectrum_->setVisible(!none.isEmpty());
        return;
    }
    QString names, values;
    QStringList spoken;
    for (const MeasureEntry& entry : spectrumEntries(spectrum)) {
        names += QStringLiteral("<th>%1</th>").arg(entry.name.toHtmlEscaped());
        values += QStringLiteral("<td>%1</td>").arg(entry.value.toHtmlEscaped());
        spoken << QStringLiteral("%1 = %2").arg(entry.name, entry.value);
    }
    spectrum_->setText(QStringLiteral("Spettro di Lyapunov, %1:"
                                      "<table cellspacing=\"0\" cellpadding=\"4\"><tr>%2</tr><tr>%3</tr></table>")
                           .arg(exponentUnit(result.timed), names, values));
    spectrum_->setAccessibleDescription(spoken.join(QStringLiteral("; ")));
    spectrum_->setVisible(true);
}

void SensitivityWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    ++generation_;
    startComputation();
}

void SensitivityWindow::hideEvent(QHideEvent* event)
{
    delay_->stop();
    ++generation_;  // whatever runs now is shown to no one
    cancelRunning();
    pace_->drop();
    QWidget::hideEvent(event);
}

void SensitivityWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

SensitivityWindow* openSensitivityWindow(ToolHost& host)
{
    return static_cast<SensitivityWindow*>(
        host.showToolWindow(SensitivityTool, [&host] { return new SensitivityWindow(host); }));
}

const ToolWindow SensitivityTool = {"Sensibilità…", "Ctrl+L", [](ToolHost& host) { openSensitivityWindow(host); }};

}  // namespace vortiquo
