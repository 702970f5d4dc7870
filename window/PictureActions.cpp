#include "window/PictureActions.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QStandardPaths>

#include "window/DrawingArea.h"
#include "picture/PictureFile.h"
#include "picture/Redraw.h"
#include "window/SimulationForm.h"

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

}  // namespace

PictureActions::PictureActions(SimulationForm& form)
    : QObject(&form), form_(form), menu_(new QMenu(&form)),
      folder_(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation))
{
    connect(addAction(menu_, QStringLiteral("Salva immagine…"), QKeySequence::Save, form), &QAction::triggered, this,
            &PictureActions::save);
    connect(menu_->addAction(QStringLiteral("Copia immagine")), &QAction::triggered, this, &PictureActions::copy);
    connect(addAction(menu_, QStringLiteral("Apri immagine…"), QKeySequence::Open, form), &QAction::triggered, this,
            &PictureActions::open);
    DrawingArea* grafico = form.grafico();
    grafico->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grafico, &QWidget::customContextMenuRequested, this, [this, grafico](const QPoint& where) {
        showMenu(grafico->mapToGlobal(where));
    });
}

void PictureActions::showMenu(const QPoint& where)
{
    menu_->popup(where);
}

void PictureActions::warn(const QString& title, const QString& text)
{
    QMessageBox::warning(&form_, title, text);
}

void PictureActions::save()
{
    // The picture as it is now: a run waits while the dialog is open.
    QFileDialog dialog(&form_, SaveTitle, folder_, PngFilter);
    dialog.setObjectName(QStringLiteral("dialogoSalva"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("png"));  // and it asks before replacing that name
    dialog.selectFile(QStringLiteral("%1.png").arg(QString::fromUtf8(form_.program().layout->caption)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    saveTo(dialog.selectedFiles().constFirst());
}

bool PictureActions::saveTo(const QString& path)
{
    const Recipe recipe = form_.pictureRecipe();
    const Session& session = form_.session();
    // A journal past its bounds, or a recipe too long for a PNG text that
    // can be read back, cannot redraw the picture: it is left out, and said so.
    const bool complete = session.journal().complete() && recipeFitsPicture(recipe);
    const QString error = writePicture(path, form_.grafico()->image(), form_.program(), session.texts(),
                                       session.stepsDrawn(), complete ? &recipe : nullptr);
    if (!error.isEmpty()) {
        warn(SaveTitle, QStringLiteral("Impossibile salvare «%1»: %2.\n\nL'immagine nella finestra non è cambiata, "
                                       "e un eventuale file con quel nome è rimasto com'era.")
                            .arg(path, error));
        return false;
    }
    folder_ = QFileInfo(path).absolutePath();
    if (!complete)
        warn(SaveTitle, QStringLiteral("L'immagine è stata salvata in «%1», ma senza la ricetta per ridisegnarla: "
                                       "durante il disegno ci sono state troppe modifiche per registrarle tutte. "
                                       "Premete «Cancella» prima di una nuova immagine da conservare con la sua "
                                       "ricetta.")
                            .arg(path));
    return true;
}

void PictureActions::copy()
{
    QGuiApplication::clipboard()->setImage(form_.grafico()->image());
}

void PictureActions::open()
{
    QFileDialog dialog(&form_, OpenTitle, folder_, PngFilter);
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
    std::optional<Recipe> recipe = readRecipeFile(path, form_.program(), error);
    if (!recipe) {
        warn(OpenTitle, QStringLiteral("Impossibile aprire «%1»: %2.\n\nLa finestra non è cambiata.").arg(path, error));
        return false;
    }
    // The replay of a long picture shows its progress and can be cancelled.
    QProgressDialog progress(QStringLiteral("Ridisegno di «%1»…").arg(QFileInfo(path).fileName()),
                             QStringLiteral("Annulla"), 0, 1000, &form_);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(500);
    ReplayLimits limits;
    limits.progress = [&](std::int64_t steps) {
        progress.setValue(static_cast<int>(1000 * static_cast<double>(steps) / static_cast<double>(recipe->steps)));
        return !progress.wasCanceled();
    };
    RedrawnSaved replayed = redrawSaved(*recipe, form_.grafico()->devicePixelRatioF(), limits);
    progress.reset();
    if (replayed.redrawn.outcome.end == ReplayOutcome::End::cancelled)
        return false;
    if (!replayed.whole) {
        warn(OpenTitle, QStringLiteral("Impossibile aprire «%1»: %2.\n\nLa finestra non è cambiata.")
                            .arg(path, brokenJournalReason()));
        return false;
    }
    folder_ = QFileInfo(path).absolutePath();
    form_.showOpenedPicture(*recipe, std::move(replayed.redrawn));
    return true;
}
