#include "window/ExplorerWindow.h"

#include <QCloseEvent>
#include <algorithm>
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

#include "engine/FaultText.h"
#include "picture/SweepPicture.h"
#include "window/ExplorerTab.h"
#include "window/RunPace.h"
#include "window/SweepCanvas.h"
#include "window/SweepComputation.h"
#include "window/ToolHost.h"
#include "window/Tools.h"

namespace vortiquo {

namespace {

// Edits of the fields closer together than this compute once.
constexpr int SettleMilliseconds = 300;

// The tabs of a program: a flow's one-orbit tabs come with its section.
std::vector<ExplorerTab*> makeTabs(ToolHost& host, const SweepView& view)
{
    if (view.sectionLevel == nullptr)
        return {makePlaneTab(host, view), makeDiagramTab(host, view)};
    return {makeDiagramTab(host, view), makeMaximaTab(host, view), makeSectionTab(host, view),
            makePlaneTab(host, view)};
}

}  // namespace

ExplorerWindow::ExplorerWindow(ToolHost& host) : host_(host), view_(*sweepViewOf(host.program()))
{
    setWindowTitle(QStringLiteral("Esplora parametri — %1").arg(QLatin1String(host.program().name)));
    setObjectName(QStringLiteral("EsploraParametri"));
    tabs_ = makeTabs(host, view_);
    computation_ = new SweepComputation(this);
    pace_ = host.runPace(*this);
    connect(computation_, &SweepComputation::finished, this, &ExplorerWindow::passDone);
    poll_ = new QTimer(this);
    connect(poll_, &QTimer::timeout, this, [this] {
        const int share = static_cast<int>(computation_->progress() * 1000);
        // A full bar means the picture is shown: the last step waits for it.
        progress_->setValue(pass_ == 0 ? share / 10 : std::min(999, 100 + share * 9 / 10));
    });
    settle_ = new QTimer(this);
    settle_->setSingleShot(true);
    settle_->setInterval(SettleMilliseconds);
    connect(settle_, &QTimer::timeout, this, &ExplorerWindow::start);
    build();
    connect(&host, &ToolHost::fieldEdited, this, &ExplorerWindow::fieldsEdited);
    resize(760, 680);
}

ExplorerWindow::~ExplorerWindow() = default;

ExplorerTab& ExplorerWindow::current() const
{
    return *tabs_[static_cast<std::size_t>(tabWidget_->currentIndex())];
}

void ExplorerWindow::build()
{
    auto* layout = new QVBoxLayout(this);
    tabWidget_ = new QTabWidget;
    for (ExplorerTab* tab : tabs_)
        tabWidget_->addTab(tab, tab->title());
    layout->addWidget(tabWidget_, 1);
    readout_ = new QLabel(QStringLiteral("Muovete il puntatore sull'immagine"));
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
    connect(reset, &QPushButton::clicked, this, [this] { current().reset(); });
    connect(cancel, &QPushButton::clicked, this, &ExplorerWindow::stop);
    connect(save, &QPushButton::clicked, this, &ExplorerWindow::savePicture);
    connect(tabWidget_, &QTabWidget::currentChanged, this, &ExplorerWindow::start);
    for (ExplorerTab* tab : tabs_) {
        connect(tab, &ExplorerTab::changed, this, [this, tab] {
            if (tab == &current())
                start();
        });
        SweepCanvas* canvas = &tab->canvas();
        connect(canvas, &SweepCanvas::zoomRequested, tab, &ExplorerTab::zoom);
        connect(canvas, &SweepCanvas::pointChosen, tab, &ExplorerTab::choose);
        connect(canvas, &SweepCanvas::pointerAt, this, [this, tab](QPointF at) {
            if (!tab->picture().isNull())
                readout_->setText(tab->pointerText(at));
        });
    }
}

void ExplorerWindow::start()
{
    settle_->stop();
    pace_->drop();  // a picture that waits to be shown is of another view
    pass_ = 0;
    launch();
}

void ExplorerWindow::launch()
{
    // Setting the bar repaints it at once; while the program's window runs,
    // passes started in quick succession leave it to the poll's pace.
    if (!host_.running())
        progress_->setValue(pass_ == 0 ? 0 : 100);
    const SweepRecipe recipe = current().recipe(pass_ == 0);
    const SimulationState base = host_.start();
    if (const QString problem = sweepProblem(recipe, base); !problem.isEmpty()) {
        stop();
        readout_->setText(QStringLiteral("Niente da calcolare: %1.").arg(problem));
        return;
    }
    computation_->start(recipe, base, host_.running());
    poll_->start(host_.progressIntervalMs(100));
}

void ExplorerWindow::passDone(const SweepRecipe& recipe, const SweepBand& band)
{
    poll_->stop();
    const bool full = pass_++ == 1;
    // While the program's window runs, the picture may wait; the full pass's
    // replaces the coarse one's if that still waits.
    pace_->show([this, tab = &current(), recipe, band, full] { showPass(*tab, recipe, band, full); });
    if (!full)
        launch();
}

void ExplorerWindow::showPass(ExplorerTab& tab, const SweepRecipe& recipe, const SweepBand& band, bool full)
{
    tab.show(recipe, band, full);
    if (band.faultStep > 0)
        readout_->setText(overflowText(band.faultStep) +
                          QStringLiteral(" L'immagine mostra i punti trovati prima."));
    else if (recipe.oneOrbit() && band.found == 0)
        readout_->setText(QStringLiteral("L'orbita non ha dato nessun punto: provate un'altra coordinata, un "
                                         "altro piano o un altro verso."));
    if (full)
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
    settle_->stop();
    pace_->drop();
    QWidget::closeEvent(event);
}

// The mark follows the fields; a tab of one orbit at the fields' own
// parameters computes again once the typing settles.
void ExplorerWindow::fieldsEdited()
{
    for (ExplorerTab* tab : tabs_) {
        tab->followFields();
        tab->showMark();
    }
    if (isVisible() && current().followsFields())
        settle_->start();
}

void ExplorerWindow::goBack()
{
    current().goBack();
}

void ExplorerWindow::savePicture()
{
    const ExplorerTab& tab = current();
    if (tab.picture().isNull() || !tab.complete()) {
        QMessageBox::information(this, QStringLiteral("Salva immagine"),
                                 QStringLiteral("Il calcolo completo non è ancora finito: salvate l'immagine quando "
                                                "la barra di avanzamento è piena."));
        return;
    }
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Salva immagine"), QString(),
                                                      QStringLiteral("Immagini PNG (*.png)"));
    if (path.isEmpty())
        return;
    if (const QString error = writeSweepPicture(path, tab.picture(), tab.shown()); !error.isEmpty())
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
