#include "window/PictureActions.h"

#include <QAction>
#include <QClipboard>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QStandardPaths>

#include "picture/PictureFile.h"

namespace vortiquo {

namespace {

const QString SaveTitle = QStringLiteral("Salva immagine");
const QString OpenTitle = QStringLiteral("Apri immagine");
const QString PngFilter = QStringLiteral("Immagini PNG (*.png)");

QAction* addAction(QMenu* menu, const QString& text, const QKeySequence& keys, QWidget& window)
{
    QAction* action = menu->addAction(text);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    window.addAction(action);  // the shortcut works anywhere in the window
    return action;
}

QString openFailed(const QString& path, const QString& why)
{
    return QStringLiteral("Impossibile aprire «%1»: %2.\n\nLa finestra non è cambiata.").arg(path, why);
}

// The one local file a drag carries, or nothing.
QString draggedFile(const QMimeData* data)
{
    const QList<QUrl> urls = data->urls();
    return urls.size() == 1 && urls.front().isLocalFile() ? urls.front().toLocalFile() : QString();
}

}  // namespace

PictureActions::PictureActions(QWidget& window, QWidget& drawingArea, const Program& program, Sources sources)
    : QObject(&window), window_(window), program_(program), sources_(std::move(sources)), menu_(new QMenu(&window)),
      folder_(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation))
{
    connect(addAction(menu_, QStringLiteral("Salva immagine…"), QKeySequence::Save, window), &QAction::triggered,
            this, &PictureActions::save);
    connect(menu_->addAction(QStringLiteral("Copia immagine")), &QAction::triggered, this, &PictureActions::copy);
    connect(addAction(menu_, QStringLiteral("Apri immagine…"), QKeySequence::Open, window), &QAction::triggered,
            this, &PictureActions::open);
    drawingArea.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&drawingArea, &QWidget::customContextMenuRequested, this,
            [this, &drawingArea](const QPoint& where) { menu_->popup(drawingArea.mapToGlobal(where)); });
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

void PictureActions::warn(const QString& title, const QString& text)
{
    QMessageBox::warning(&window_, title, text);
}

void PictureActions::save()
{
    // The picture as it is now: a run waits while the dialog is open.
    QFileDialog dialog(&window_, SaveTitle, folder_, PngFilter);
    dialog.setObjectName(QStringLiteral("dialogoSalva"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("png"));  // and it asks before replacing that name
    dialog.selectFile(QStringLiteral("%1.png").arg(QString::fromUtf8(program_.layout->caption)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    saveTo(dialog.selectedFiles().constFirst());
}

bool PictureActions::saveTo(const QString& path)
{
    const PictureToSave picture = sources_.toSave();
    // A journal past its bounds, or a recipe too long for a PNG text that
    // can be read back, cannot redraw the picture: it is left out, and said so.
    const QByteArray recipe = picture.recipe ? recipeToJson(*picture.recipe) : QByteArray();
    const bool withRecipe = picture.recipe && recipeFitsPicture(recipe);
    const QString error = writePicture(path, picture.image, program_, picture.texts, picture.steps, recipe);
    if (!error.isEmpty()) {
        warn(SaveTitle, QStringLiteral("Impossibile salvare «%1»: %2.\n\nL'immagine nella finestra non è cambiata, "
                                       "e un eventuale file con quel nome è rimasto com'era.")
                            .arg(path, error));
        return false;
    }
    folder_ = QFileInfo(path).absolutePath();
    if (!withRecipe)
        warn(SaveTitle, QStringLiteral("L'immagine è stata salvata in «%1», ma senza la ricetta per ridisegnarla: "
                                       "durante il disegno ci sono state troppe modifiche per registrarle tutte. "
                                       "Premete «Cancella» prima di una nuova immagine da conservare con la sua "
                                       "ricetta.")
                            .arg(path));
    return true;
}

void PictureActions::copy()
{
    QGuiApplication::clipboard()->setImage(sources_.picture());
}

void PictureActions::open()
{
    QFileDialog dialog(&window_, OpenTitle, folder_, PngFilter);
    dialog.setObjectName(QStringLiteral("dialogoApri"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    openFile(dialog.selectedFiles().constFirst());
}

bool PictureActions::openFile(const QString& path)
{
    QString error;
    std::optional<Recipe> recipe = readRecipeFile(path, program_, error);
    if (!recipe) {
        warn(OpenTitle, openFailed(path, error));
        return false;
    }
    std::optional<RedrawnSaved> replayed = replayShowingProgress(
        *recipe, window_.devicePixelRatioF(), QStringLiteral("Ridisegno di «%1»…").arg(QFileInfo(path).fileName()));
    if (!replayed)
        return false;
    if (!replayed->whole) {
        warn(OpenTitle, openFailed(path, brokenJournalReason()));
        return false;
    }
    folder_ = QFileInfo(path).absolutePath();
    emit pictureOpened(*recipe, replayed->redrawn);
    return true;
}

std::optional<Redrawn> PictureActions::redrawForScreen(const Recipe& recipe, double ratio)
{
    // It came out whole when it was opened, and a replay is the same at any density.
    std::optional<RedrawnSaved> replayed =
        replayShowingProgress(recipe, ratio, QStringLiteral("Ridisegno dell'immagine per questo schermo…"));
    if (!replayed || !replayed->whole)
        return std::nullopt;
    return std::move(replayed->redrawn);
}

// The replay of a long picture shows its progress and can be cancelled:
// then there is none.
std::optional<RedrawnSaved> PictureActions::replayShowingProgress(const Recipe& recipe, double ratio,
                                                                  const QString& label)
{
    QProgressDialog progress(label, QStringLiteral("Annulla"), 0, 1000, &window_);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(500);
    ReplayLimits limits;
    limits.progress = [&](std::int64_t steps) {
        progress.setValue(static_cast<int>(1000 * static_cast<double>(steps) / static_cast<double>(recipe.steps)));
        return !progress.wasCanceled();
    };
    RedrawnSaved replayed = redrawSaved(recipe, ratio, limits);
    progress.reset();
    if (replayed.redrawn.outcome.end == ReplayOutcome::End::cancelled)
        return std::nullopt;
    return replayed;
}

bool PictureActions::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &window_ || (event->type() != QEvent::DragEnter && event->type() != QEvent::Drop))
        return QObject::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);  // a drag's entry is a drop event too
    const QString path = draggedFile(drop->mimeData());
    if (path.isEmpty())
        return true;
    drop->acceptProposedAction();
    // Opening may show a message: not from inside the drop itself.
    if (event->type() == QEvent::Drop)
        QMetaObject::invokeMethod(
            this, [this, path] { openFile(path); }, Qt::QueuedConnection);
    return true;
}

}  // namespace vortiquo
