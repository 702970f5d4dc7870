#include "window/ExplorerWindow.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

#include "engine/ExponentText.h"
#include "picture/PlaneColours.h"
#include "picture/SweepPicture.h"
#include "window/SweepCanvas.h"
#include "window/SweepComputation.h"
#include "window/ToolHost.h"
#include "window/Tools.h"

namespace vortiquo {

namespace {

constexpr int Side = 512;       // the full pass's points across and down
constexpr int CoarseShare = 8;  // the first pass has one point in 8 each way
// Decimals of a pixel's exponent: its N steps leave it uncertain in the
// second decimal, so more would be noise.
constexpr int ExponentDecimals = 2;

// A number typed into a field: the shortest text that reads back to it.
QString typed(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QChar fieldLetter(char parameter)
{
    return QLatin1Char(parameter);
}

}  // namespace

ExplorerWindow::ExplorerWindow(ToolHost& host) : host_(host), view_(*sweepViewOf(host.program()))
{
    setWindowTitle(QStringLiteral("Esplora parametri — %1").arg(QLatin1String(host.program().name)));
    setObjectName(QStringLiteral("EsploraParametri"));
    sweeps_[0].kind = SweepRecipe::Kind::Plane;
    sweeps_[1].kind = SweepRecipe::Kind::Orbits;
    for (Sweep& sweep : sweeps_) {
        sweep.view = openingView(sweep.kind);
        sweep.canvas = new SweepCanvas;
    }
    computation_ = new SweepComputation(this);
    connect(computation_, &SweepComputation::finished, this, &ExplorerWindow::passDone);
    poll_ = new QTimer(this);
    connect(poll_, &QTimer::timeout, this, [this] {
        const int share = static_cast<int>(computation_->progress() * 1000);
        progress_->setValue(pass_ == 0 ? share / 10 : 100 + share * 9 / 10);
    });
    build();
    connect(&host, &ToolHost::fieldEdited, this, [this] { showMark(); });
    resize(760, 640);
}

ExplorerWindow::~ExplorerWindow() = default;

ExplorerWindow::Sweep& ExplorerWindow::current()
{
    return sweeps_[tabs_->currentIndex()];
}

QRectF ExplorerWindow::openingView(SweepRecipe::Kind kind) const
{
    return kind == SweepRecipe::Kind::Plane
               ? QRectF(view_.acrossSpan.low, view_.upSpan.low, view_.acrossSpan.high - view_.acrossSpan.low,
                        view_.upSpan.high - view_.upSpan.low)
               : QRectF(view_.variedSpan.low, view_.valueSpans[0].low, view_.variedSpan.high - view_.variedSpan.low,
                        view_.valueSpans[0].high - view_.valueSpans[0].low);
}

void ExplorerWindow::build()
{
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget;
    auto* planeTab = new QWidget;
    auto* planeLayout = new QHBoxLayout(planeTab);
    planeLayout->addWidget(sweeps_[0].canvas, 1);
    planeLayout->addWidget(colourLegend());
    tabs_->addTab(planeTab, QStringLiteral("Piano dei parametri"));
    tabs_->addTab(sweeps_[1].canvas, QStringLiteral("Diagramma delle orbite"));
    layout->addWidget(tabs_, 1);
    readout_ = new QLabel(QStringLiteral("Muovete il puntatore sul piano"));
    readout_->setAccessibleName(QStringLiteral("Punto sotto il puntatore"));
    readout_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(readout_);
    auto* row = new QHBoxLayout;
    progress_ = new QProgressBar;
    progress_->setRange(0, 1000);
    progress_->setAccessibleName(QStringLiteral("Avanzamento del calcolo"));
    row->addWidget(progress_, 1);
    auto* back = new QPushButton(QStringLiteral("Indietro"));
    auto* reset = new QPushButton(QStringLiteral("Reimposta"));
    auto* cancel = new QPushButton(QStringLiteral("Annulla"));
    auto* save = new QPushButton(QStringLiteral("Salva immagine…"));
    for (QPushButton* button : {back, reset, cancel, save})
        row->addWidget(button);
    layout->addLayout(row);
    connect(back, &QPushButton::clicked, this, &ExplorerWindow::goBack);
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Backspace), QKeySequence(Qt::ALT | Qt::Key_Left)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &ExplorerWindow::goBack);
    connect(reset, &QPushButton::clicked, this, [this] { showView(openingView(current().kind)); });
    connect(cancel, &QPushButton::clicked, this, &ExplorerWindow::stop);
    connect(save, &QPushButton::clicked, this, &ExplorerWindow::savePicture);
    connect(tabs_, &QTabWidget::currentChanged, this, &ExplorerWindow::start);
    for (Sweep& sweep : sweeps_) {
        connect(sweep.canvas, &SweepCanvas::zoomRequested, this, &ExplorerWindow::showView);
        connect(sweep.canvas, &SweepCanvas::pointChosen, this, &ExplorerWindow::choose);
        connect(sweep.canvas, &SweepCanvas::pointerAt, this, &ExplorerWindow::showPointer);
    }
}

QWidget* ExplorerWindow::colourLegend()
{
    auto* legend = new QWidget;
    auto* column = new QVBoxLayout(legend);
    // The scale is a number of the dynamics table, written as short as it is.
    const QString scale = QString::number(view_.colourScale, 'g', 6).replace('.', ',');
    column->addWidget(new QLabel(QStringLiteral("λ ≥ +%1").arg(scale)));
    auto* bar = new QLabel;
    bar->setPixmap(QPixmap::fromImage(colourBar(24, 300, view_.colourScale)));
    bar->setAccessibleName(
        QStringLiteral("Scala dei colori: da λ = +%1 in alto a −%1, grigio se l'orbita fugge").arg(scale));
    column->addWidget(bar);
    column->addWidget(new QLabel(QStringLiteral("λ ≤ −%1\ngrigio: fugge").arg(scale)));
    column->addStretch();
    return legend;
}

// The recipe of a view: its ranges and size, and every field it depends on
// as the window's field has it (the start point, and the diagram's fixed
// parameter), so that --from computes the same picture.
SweepRecipe ExplorerWindow::recipeFor(const Sweep& sweep, int width, int height) const
{
    SweepRecipe recipe;
    recipe.program = &host_.program();
    recipe.kind = sweep.kind;
    recipe.width = width;
    recipe.height = height;
    recipe.across0 = sweep.view.left(), recipe.across1 = sweep.view.right();
    recipe.up0 = sweep.view.top(), recipe.up1 = sweep.view.bottom();
    if (sweep.kind == SweepRecipe::Kind::Plane) {
        recipe.transient = view_.planeTransient;
        recipe.duration = view_.planeMeasured;
    } else {
        recipe.vary = view_.varied == SweepParameter::A ? 'a' : 'b';
        recipe.transient = view_.diagramTransient;
        recipe.duration = view_.diagramDuration;
        const Field fixed = recipe.vary == 'a' ? Field::b : Field::a;
        recipe.edits.emplace_back(fixed, host_.fieldText(fixed));
    }
    const FieldTexts texts = host_.texts();
    for (const Field start : {Field::x0, Field::y0, Field::z0})
        if (const auto& text = texts[static_cast<std::size_t>(start)])
            recipe.edits.emplace_back(start, QString::fromStdString(*text));
    return recipe;
}

void ExplorerWindow::start()
{
    pass_ = 0;
    launch();
}

void ExplorerWindow::launch()
{
    const int share = pass_ == 0 ? CoarseShare : 1;
    progress_->setValue(pass_ == 0 ? 0 : 100);
    computation_->start(recipeFor(current(), Side / share, Side / share), host_.start());
    poll_->start(100);
}

void ExplorerWindow::passDone(const SweepRecipe& recipe, const SweepBand& band)
{
    poll_->stop();
    Sweep& sweep = current();
    sweep.picture = band.image;
    sweep.exponents = band.exponents;
    sweep.shown = recipe;
    const bool plane = sweep.kind == SweepRecipe::Kind::Plane;
    const QString across = plane ? QStringLiteral("a") : QString(fieldLetter(recipe.vary));
    sweep.canvas->setPicture(sweep.picture, sweep.view, across, plane ? QStringLiteral("b") : QStringLiteral("x"));
    showMark();
    if (pass_++ == 0)
        launch();
    else
        progress_->setValue(1000);
}

void ExplorerWindow::stop()
{
    computation_->cancel();
    poll_->stop();
}

void ExplorerWindow::closeEvent(QCloseEvent* event)
{
    stop();
    QWidget::closeEvent(event);
}

void ExplorerWindow::showView(const QRectF& view)
{
    current().history.push_back(current().view);
    current().view = view;
    start();
}

void ExplorerWindow::goBack()
{
    if (current().history.empty())
        return;
    current().view = current().history.back();
    current().history.pop_back();
    start();
}

void ExplorerWindow::showMark()
{
    const SimulationState& state = host_.state();
    sweeps_[0].canvas->setMark(QPointF(state.a, state.b));
}

// The point under the pointer, to the digits one pixel resolves, and on the
// plane the exponent of the pixel under it.
void ExplorerWindow::showPointer(QPointF at)
{
    const Sweep& sweep = current();
    const int across = decimalsResolving(sweep.view.width() / Side);
    const int up = decimalsResolving(sweep.view.height() / Side);
    if (sweep.kind == SweepRecipe::Kind::Orbits) {
        readout_->setText(QStringLiteral("%1 = %2   x = %3")
                              .arg(fieldLetter(sweep.shown.vary))
                              .arg(italianDecimal(at.x(), across), italianDecimal(at.y(), up)));
        return;
    }
    QString exponent = QStringLiteral("—");
    const SweepRecipe& shown = sweep.shown;
    const int column = int(std::floor((at.x() - shown.across0) / (shown.across1 - shown.across0) * shown.width));
    const int row = int(std::floor((shown.up1 - at.y()) / (shown.up1 - shown.up0) * shown.height));
    if (column >= 0 && column < shown.width && row >= 0 && row < shown.height &&
        sweep.exponents.size() == std::size_t(shown.width) * shown.height) {
        const double value = sweep.exponents[std::size_t(row) * shown.width + column];
        exponent = std::isnan(value) ? QStringLiteral("l'orbita fugge") : italianDecimal(value, ExponentDecimals);
    }
    readout_->setText(QStringLiteral("a = %1   b = %2   λ: %3")
                          .arg(italianDecimal(at.x(), across), italianDecimal(at.y(), up), exponent));
}

// A point chosen on the plane goes into the window's fields as typed.
void ExplorerWindow::choose(QPointF at)
{
    if (current().kind == SweepRecipe::Kind::Plane) {
        host_.typeField(Field::a, typed(at.x()));
        host_.typeField(Field::b, typed(at.y()));
    } else {
        host_.typeField(current().shown.vary == 'a' ? Field::a : Field::b, typed(at.x()));
    }
    showMark();
}

void ExplorerWindow::savePicture()
{
    const Sweep& sweep = current();
    if (sweep.picture.isNull() || sweep.shown.width != Side) {
        QMessageBox::information(this, QStringLiteral("Salva immagine"),
                                 QStringLiteral("Il calcolo completo non è ancora finito: salvate l'immagine quando "
                                                "la barra di avanzamento è piena."));
        return;
    }
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Salva immagine"), QString(),
                                                      QStringLiteral("Immagini PNG (*.png)"));
    if (path.isEmpty())
        return;
    if (const QString error = writeSweepPicture(path, sweep.picture, sweep.shown); !error.isEmpty())
        QMessageBox::warning(this, QStringLiteral("Salva immagine"),
                             QStringLiteral("Impossibile salvare «%1»: %2.").arg(path, error));
}

namespace {

void openExplorer(ToolHost& host)
{
    auto* window = static_cast<ExplorerWindow*>(
        host.showToolWindow(ExplorerTool, [&host] { return new ExplorerWindow(host); }));
    window->start();
}

}  // namespace

const ToolWindow ExplorerTool = {"Esplora parametri…", "Ctrl+E", openExplorer};

}  // namespace vortiquo
