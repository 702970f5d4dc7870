#include "window/ExplorerWindow.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <atomic>
#include <cmath>
#include <memory>

#include "analysis/Dynamics.h"
#include "picture/PlaneColours.h"
#include "picture/SweepPicture.h"
#include "engine/SweepTiles.h"
#include "window/SimulationForm.h"
#include "window/SweepCanvas.h"
#include "window/ToolWindows.h"

namespace vortiquo {

namespace {

constexpr int Side = 512;       // the full pass's points across and down
constexpr int CoarseShare = 8;  // the first pass has one point in 8 each way

QString shortest(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// One tab: a kind of sweep, its view history, its computation.
struct Sweep {
    SweepRecipe::Kind kind;
    SweepCanvas* canvas = nullptr;
    std::vector<QRectF> history;  // earlier views, for "Indietro"
    QRectF view;
    QImage picture;
    std::vector<double> exponents;  // the plane's, row by row
    SweepRecipe shown;              // the recipe of `picture`
};

class ExplorerWindow : public QWidget {
public:
    explicit ExplorerWindow(SimulationForm& form) : form_(form)
    {
        setWindowFlag(Qt::Window);
        setAttribute(Qt::WA_DeleteOnClose, false);
        setWindowTitle(QStringLiteral("Esplora parametri — %1").arg(QLatin1String(form.program().name)));
        const SweepView& view = *sweepViewOf(form.program());
        sweeps_[0].kind = SweepRecipe::Kind::Plane;
        sweeps_[0].view = QRectF(view.a0, view.b0, view.a1 - view.a0, view.b1 - view.b0);
        sweeps_[1].kind = SweepRecipe::Kind::Orbits;
        sweeps_[1].view = QRectF(view.p0, view.xLow, view.p1 - view.p0, view.xHigh - view.xLow);
        for (Sweep& sweep : sweeps_)
            sweep.canvas = new SweepCanvas;
        build();
        connect(&form, &SimulationForm::fieldEdited, this, [this] { showMark(); });
        connect(&watcher_, &QFutureWatcher<std::optional<SweepBand>>::finished, this, [this] { passDone(); });
        resize(760, 640);
    }

    ~ExplorerWindow() override { stop(); }

    void start()
    {
        stop();
        pass_ = 0;
        launch();
    }

protected:
    // A closed window computes nothing in the background.
    void closeEvent(QCloseEvent* event) override
    {
        stop();
        QWidget::closeEvent(event);
    }

private:
    Sweep& current() { return sweeps_[tabs_->currentIndex()]; }

    void build()
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
        connect(back, &QPushButton::clicked, this, [this] { goBack(); });
        for (const QKeySequence& keys : {QKeySequence(Qt::Key_Backspace), QKeySequence(Qt::ALT | Qt::Key_Left)})
            connect(new QShortcut(keys, this), &QShortcut::activated, this, [this] { goBack(); });
        connect(reset, &QPushButton::clicked, this, [this] { resetView(); });
        connect(cancel, &QPushButton::clicked, this, [this] { stop(); });
        connect(save, &QPushButton::clicked, this, [this] { savePicture(); });
        connect(tabs_, &QTabWidget::currentChanged, this, [this] { start(); });
        for (Sweep& sweep : sweeps_) {
            connect(sweep.canvas, &SweepCanvas::zoomRequested, this, [this](const QRectF& ranges) { zoom(ranges); });
            connect(sweep.canvas, &SweepCanvas::pointChosen, this, [this](QPointF at) { choose(at); });
            connect(sweep.canvas, &SweepCanvas::pointerAt, this, [this](QPointF at) { showPointer(at); });
        }
    }

    QWidget* colourLegend()
    {
        auto* legend = new QWidget;
        auto* column = new QVBoxLayout(legend);
        column->addWidget(new QLabel(QStringLiteral("λ ≥ +%1").arg(ExponentColourScale)));
        auto* bar = new QLabel;
        bar->setPixmap(QPixmap::fromImage(colourBar(24, 300, ExponentColourScale)));
        bar->setAccessibleName(QStringLiteral("Scala dei colori: da λ = +1 in alto a −1, grigio se l'orbita fugge"));
        column->addWidget(bar);
        column->addWidget(new QLabel(QStringLiteral("λ ≤ −%1\ngrigio: fugge").arg(ExponentColourScale)));
        column->addStretch();
        return legend;
    }

    SweepRecipe recipeFor(const Sweep& sweep, int width, int height) const
    {
        const SweepView& view = *sweepViewOf(form_.program());
        SweepRecipe recipe;
        recipe.program = &form_.program();
        recipe.kind = sweep.kind;
        recipe.width = width;
        recipe.height = height;
        recipe.transient = view.transient;
        if (sweep.kind == SweepRecipe::Kind::Plane) {
            recipe.a0 = sweep.view.left(), recipe.a1 = sweep.view.right();
            recipe.b0 = sweep.view.top(), recipe.b1 = sweep.view.bottom();
            recipe.iterations = view.measured;
        } else {
            recipe.vary = view.diagramParameter == SweepParameter::A ? 'a' : 'b';
            recipe.p0 = sweep.view.left(), recipe.p1 = sweep.view.right();
            recipe.xLow = sweep.view.top(), recipe.xHigh = sweep.view.bottom();
            recipe.iterations = view.points;
            // The fixed parameter as the window's field has it.
            const Field fixed = recipe.vary == 'a' ? Field::b : Field::a;
            recipe.edits.emplace_back(fixed, form_.fieldText(fixed));
        }
        return recipe;
    }

    void launch()
    {
        Sweep& sweep = current();
        const int share = pass_ == 0 ? CoarseShare : 1;
        const SweepRecipe recipe = recipeFor(sweep, Side / share, Side / share);
        SimulationState base = fieldStart(form_.session().state(), form_.session().texts());
        cancel_ = std::make_shared<std::atomic<bool>>(false);
        auto done = std::make_shared<std::atomic<int>>(0);
        progressShare_ = done;
        progress_->setValue(pass_ == 0 ? 0 : 100);
        const int threads = std::max(1, QThread::idealThreadCount());
        std::shared_ptr<std::atomic<bool>> cancel = cancel_;
        watcher_.setFuture(QtConcurrent::run([recipe, base, threads, cancel, done] {
            AnalysisControl control;
            control.cancel = cancel.get();
            control.progress = [done](double fraction) { done->store(int(fraction * 1000)); };
            return computeSweepBand(recipe, base, threads, control);
        }));
        pending_ = recipe;
        if (!timer_) {
            timer_ = new QTimer(this);
            connect(timer_, &QTimer::timeout, this, [this] {
                if (progressShare_)
                    progress_->setValue(pass_ == 0 ? progressShare_->load() / 10
                                                   : 100 + progressShare_->load() * 9 / 10);
            });
        }
        timer_->start(100);
    }

    void passDone()
    {
        timer_->stop();
        const std::optional<SweepBand> result = watcher_.result();
        if (!result)
            return;  // cancelled, or replaced by a newer view
        Sweep& sweep = current();
        sweep.picture = result->image;
        sweep.exponents = result->exponents;
        sweep.shown = pending_;
        const bool plane = sweep.kind == SweepRecipe::Kind::Plane;
        const QString across = plane ? QStringLiteral("a") : QString(QLatin1Char(pending_.vary));
        sweep.canvas->setPicture(sweep.picture, sweep.view, across, plane ? QStringLiteral("b") : QStringLiteral("x"));
        showMark();
        if (pass_++ == 0) {
            launch();
        } else {
            progress_->setValue(1000);
        }
    }

    void stop()
    {
        if (cancel_)
            cancel_->store(true);
        watcher_.waitForFinished();
        if (timer_)
            timer_->stop();
    }

    void zoom(const QRectF& ranges)
    {
        current().history.push_back(current().view);
        current().view = ranges;
        start();
    }

    void goBack()
    {
        if (current().history.empty())
            return;
        current().view = current().history.back();
        current().history.pop_back();
        start();
    }

    void resetView()
    {
        const SweepView& view = *sweepViewOf(form_.program());
        current().history.push_back(current().view);
        current().view = current().kind == SweepRecipe::Kind::Plane
                             ? QRectF(view.a0, view.b0, view.a1 - view.a0, view.b1 - view.b0)
                             : QRectF(view.p0, view.xLow, view.p1 - view.p0, view.xHigh - view.xLow);
        start();
    }

    void showMark()
    {
        const SimulationState& state = form_.session().state();
        sweeps_[0].canvas->setMark(QPointF(state.a, state.b));
    }

    // The pointer's point and, on the plane, the exponent of the pixel under it.
    void showPointer(QPointF at)
    {
        const Sweep& sweep = current();
        if (sweep.kind == SweepRecipe::Kind::Orbits) {
            readout_->setText(QStringLiteral("%1 = %2   x = %3")
                                  .arg(QLatin1Char(sweep.shown.vary))
                                  .arg(shortest(at.x()), shortest(at.y())));
            return;
        }
        QString exponent = QStringLiteral("—");
        const SweepRecipe& shown = sweep.shown;
        const int column = int(std::floor((at.x() - shown.a0) / (shown.a1 - shown.a0) * shown.width));
        const int row = int(std::floor((shown.b1 - at.y()) / (shown.b1 - shown.b0) * shown.height));
        if (column >= 0 && column < shown.width && row >= 0 && row < shown.height &&
            sweep.exponents.size() == std::size_t(shown.width) * shown.height) {
            const double value = sweep.exponents[std::size_t(row) * shown.width + column];
            exponent = std::isnan(value) ? QStringLiteral("l'orbita fugge") : QString::number(value, 'f', 4);
        }
        readout_->setText(QStringLiteral("a = %1   b = %2   λ: %3").arg(shortest(at.x()), shortest(at.y()), exponent));
    }

    // A point chosen on the plane goes into the window's fields as typed.
    void choose(QPointF at)
    {
        if (current().kind == SweepRecipe::Kind::Plane) {
            form_.typeField(Field::a, shortest(at.x()));
            form_.typeField(Field::b, shortest(at.y()));
        } else {
            form_.typeField(current().shown.vary == 'a' ? Field::a : Field::b, shortest(at.x()));
        }
        showMark();
    }

    void savePicture()
    {
        const Sweep& sweep = current();
        if (sweep.picture.isNull() || sweep.shown.width != Side)
            return;
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Salva immagine"), QString(),
                                                          QStringLiteral("Immagini PNG (*.png)"));
        if (path.isEmpty())
            return;
        if (const QString error = writeSweepPicture(path, sweep.picture, sweep.shown); !error.isEmpty())
            QMessageBox::warning(this, QStringLiteral("Salva immagine"),
                                 QStringLiteral("Impossibile salvare «%1»: %2.").arg(path, error));
    }

    SimulationForm& form_;
    Sweep sweeps_[2];
    QTabWidget* tabs_ = nullptr;
    QLabel* readout_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QTimer* timer_ = nullptr;
    QFutureWatcher<std::optional<SweepBand>> watcher_;
    std::shared_ptr<std::atomic<bool>> cancel_;
    std::shared_ptr<std::atomic<int>> progressShare_;
    SweepRecipe pending_;
    int pass_ = 0;
};

}  // namespace

void addExplorerWindow(SimulationForm& form, QMenu& menu)
{
    if (sweepViewOf(form.program()) == nullptr)
        return;
    QAction* action = addWindowAction(menu, QStringLiteral("Esplora parametri…"), QKeySequence(Qt::CTRL | Qt::Key_E), form);
    // Made at first use, a top-level window of its own (not a child of the
    // form, whose widgets are the layout table's alone); it goes with the form.
    auto window = std::make_shared<ExplorerWindow*>(nullptr);
    QObject::connect(action, &QAction::triggered, &form, [&form, window] {
        if (*window == nullptr) {
            *window = new ExplorerWindow(form);
            QObject::connect(&form, &QObject::destroyed, *window, [window] { delete *window; });
        }
        (*window)->show();
        (*window)->raise();
        (*window)->activateWindow();
        (*window)->start();
    });
}

}  // namespace vortiquo
