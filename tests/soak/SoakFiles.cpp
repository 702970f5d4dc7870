// The soak's saving and opening: straight to a path, through Qt's own file
// dialogs (Ctrl+S, Ctrl+O), and of damaged and foreign files.
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QWindow>

#include "DamagedFiles.h"
#include "InteractionSupport.h"
#include "Soak.h"
#include "shell/PictureActions.h"
#include "shell/PictureFile.h"
#include "shell/Recipe.h"
#include "shell/SimulationForm.h"

namespace soak {

namespace {

constexpr std::size_t KeptFiles = 24;  // older saved files are deleted, so a long soak keeps a small folder

QImage filePixels(const QString& path)
{
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

bool mentions(const QStringList& messages, const QString& text)
{
    return std::any_of(messages.begin(), messages.end(), [&](const QString& message) { return message.contains(text); });
}

}  // namespace

// Everything an open of a bad file must leave as it was.
struct Soak::Snapshot {
    QImage picture;
    SimulationState state;
    FieldTexts texts;
    std::array<bool, 12> options{};
    bool running = false;
    std::int64_t stepsDrawn = 0;
};

Soak::Snapshot Soak::snapshot() const
{
    Snapshot taken{form_->grafico()->image(), form_->state(), form_->session().texts(), {}, form_->isRunning(),
                   form_->session().stepsDrawn()};
    for (int number = 1; number <= 12; ++number)
        taken.options[std::size_t(number - 1)] = interaction::option(*form_, number)->isChecked();
    return taken;
}

void Soak::checkUnchanged(const Snapshot& before, const QString& what)
{
    const Snapshot after = snapshot();
    QStringList changed = interaction::differingMembers(before.state, after.state);
    if (after.picture != before.picture)
        changed << QStringLiteral("picture");
    if (after.texts != before.texts)
        changed << QStringLiteral("fields");
    if (after.options != before.options)
        changed << QStringLiteral("options");
    if (after.running != before.running)
        changed << QStringLiteral("running");
    if (after.stepsDrawn != before.stepsDrawn)
        changed << QStringLiteral("steps drawn");
    if (!changed.isEmpty())
        fail(QStringLiteral("%1 was turned down but changed: %2").arg(what, changed.join(u' ')));
}

QString Soak::nextPath()
{
    return QDir(folder_).filePath(
        QStringLiteral("%1-%2.png").arg(++fileNumber_, 6, 10, QLatin1Char('0')).arg(QLatin1String(form_->program().name)));
}

void Soak::rememberSaved(const QString& path, bool hasRecipe)
{
    saved_.push_back({path, QLatin1String(form_->program().name), hasRecipe});
    if (saved_.size() > KeptFiles) {
        QFile::remove(saved_.front().path);
        saved_.pop_front();
    }
}

// Whether a save now must write the recipe: the journal is complete, and
// its recipe fits in a picture so that it reads back.
bool Soak::recipeExpected() const
{
    return form_->session().journal().complete() && recipeFitsPicture(form_->pictureRecipe());
}

// The file holds the picture on screen, with its recipe exactly when one is
// expected; without one the user was told why.
void Soak::checkSavedFile(const QString& path, const QImage& shown, bool withRecipe)
{
    ++figures_.saves;
    const QStringList messages = closer_.takeMessages();
    if (!QFile::exists(path)) {
        fail(QStringLiteral("nothing was saved to %1 (%2)").arg(path, messages.join(u' ')));
        return;
    }
    const bool hasRecipe = !QImage(path).text(QString::fromLatin1(RecipeKey)).isEmpty();
    if (filePixels(path) != shown)
        fail(QStringLiteral("the saved file does not hold the picture on screen"));
    if (hasRecipe != withRecipe)
        fail(QStringLiteral("saved %1 a recipe, where %2 was expected").arg(hasRecipe ? "with" : "without",
                                                                           withRecipe ? "one" : "none"));
    if (!withRecipe) {
        ++figures_.savesWithoutRecipe;
        if (!mentions(messages, QStringLiteral("senza la ricetta")))
            fail(QStringLiteral("a picture saved without its recipe, and the user was not told"));
    }
    rememberSaved(path, hasRecipe);
}

void Soak::saveNow()
{
    const QString path = nextPath();
    const bool withRecipe = recipeExpected();
    const QImage shown = form_->grafico()->image();
    closer_.takeMessages();
    detail(QStringLiteral("save to %1").arg(QFileInfo(path).fileName()));
    if (!form_->pictureActions()->saveTo(path)) {
        fail(QStringLiteral("saving failed: %1").arg(closer_.takeMessages().join(u' ')));
        return;
    }
    checkSavedFile(path, shown, withRecipe);
}

void Soak::saveWithDialog()
{
    const QString path = nextPath();
    const bool withRecipe = recipeExpected();
    const QImage shown = form_->grafico()->image();
    const int dialogs = closer_.fileDialogsAnswered();
    closer_.takeMessages();
    closer_.answerNextFileDialog(path);
    detail(QStringLiteral("Ctrl+S to %1").arg(QFileInfo(path).fileName()));
    keyToWindow(Qt::Key_S, Qt::ControlModifier);
    if (closer_.fileDialogsAnswered() == dialogs) {
        closer_.answerNextFileDialog({});
        fail(QStringLiteral("Ctrl+S showed no dialog"));
        return;
    }
    ++figures_.fileDialogs;
    checkSavedFile(path, shown, withRecipe);
}

// A saved picture opens when this program saved it with its recipe: the
// window then shows it, idle, or once the run going on is over. Any other
// file is turned down with a message, and nothing changes.
void Soak::openAndCheck(const SavedFile& file, bool throughDialog)
{
    const bool sound = file.hasRecipe && file.program == QLatin1String(form_->program().name);
    const bool running = form_->isRunning();
    const Snapshot before = snapshot();
    closer_.takeMessages();
    detail(QStringLiteral("open %1%2").arg(QFileInfo(file.path).fileName(), throughDialog ? " with Ctrl+O" : ""));
    bool opened = false;
    if (throughDialog) {
        const int dialogs = closer_.fileDialogsAnswered();
        closer_.answerNextFileDialog(file.path);
        keyToWindow(Qt::Key_O, Qt::ControlModifier);
        if (closer_.fileDialogsAnswered() == dialogs) {
            closer_.answerNextFileDialog({});
            fail(QStringLiteral("Ctrl+O showed no dialog"));
            return;
        }
        ++figures_.fileDialogs;
        opened = sound;  // the dialog says nothing; the checks below tell
    } else {
        opened = form_->pictureActions()->openFile(file.path);
    }
    const QStringList messages = closer_.takeMessages();
    if (sound != opened) {
        fail(QStringLiteral("%1 was %2 (%3)").arg(file.path, opened ? "opened" : "turned down", messages.join(u' ')));
        return;
    }
    if (!sound) {
        ++figures_.rejected;
        if (!mentions(messages, QStringLiteral("Impossibile aprire")))
            fail(QStringLiteral("a file was turned down without a message"));
        checkUnchanged(before, file.path);
        return;
    }
    ++figures_.openedSaved;
    if (running) {
        expectOpened_ = filePixels(file.path);  // shown when the run is over
    } else if (form_->isRunning() || form_->grafico()->image() != filePixels(file.path)) {
        fail(QStringLiteral("the window does not show the picture opened from %1, idle").arg(file.path));
    }
}

void Soak::openSaved()
{
    if (saved_.empty()) {
        saveNow();
        return;
    }
    openAndCheck(saved_[std::size_t(random_.below(int(saved_.size())))], false);
}

void Soak::openWithDialog()
{
    if (saved_.empty()) {
        saveNow();
        return;
    }
    openAndCheck(saved_[std::size_t(random_.below(int(saved_.size())))], true);
}

// A damaged copy of a saved file. Damage that leaves a sound recipe opens
// the file; everything else is turned down with a message, changing nothing.
void Soak::openDamaged()
{
    if (saved_.empty()) {
        saveNow();
        return;
    }
    const SavedFile& original = saved_[std::size_t(random_.below(int(saved_.size())))];
    QFile source(original.path);
    if (!source.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot read %1").arg(original.path));
        return;
    }
    const Damage damage = damagedCopy(source.readAll(), random_);
    const QString path = QDir(folder_).filePath(QStringLiteral("danneggiato.png"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(damage.bytes) != damage.bytes.size()) {
        fail(QStringLiteral("cannot write %1").arg(path));
        return;
    }
    out.close();
    detail(QStringLiteral("open %1, %2").arg(QFileInfo(original.path).fileName(), damage.what));
    const bool running = form_->isRunning();
    const Snapshot before = snapshot();
    closer_.takeMessages();
    const bool opened = form_->pictureActions()->openFile(path);
    const QStringList messages = closer_.takeMessages();
    if (opened) {
        ++figures_.damagedButSound;
        if (!running && form_->isRunning())
            fail(QStringLiteral("the window runs after opening a picture"));
        return;
    }
    ++figures_.rejected;
    if (!mentions(messages, QStringLiteral("Impossibile aprire")))
        fail(QStringLiteral("a damaged file was turned down without a message"));
    checkUnchanged(before, QStringLiteral("a damaged file (%1)").arg(damage.what));
}

}  // namespace soak
