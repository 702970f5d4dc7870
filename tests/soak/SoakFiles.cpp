// The soak's saving and opening: straight to a path, through Qt's own file
// dialogs (Ctrl+S, Ctrl+O), and of damaged and foreign files.
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QMessageBox>
#include <QRegularExpression>
#include <QRadioButton>
#include <QTest>

#include "InteractionSupport.h"
#include "Soak.h"
#include "window/PictureActions.h"
#include "picture/PictureFile.h"
#include "picture/Recipe.h"

using namespace vortiquo;

namespace soak {

namespace {

constexpr std::size_t KeptFiles = 24;  // older saved files are deleted, so a long soak keeps a small folder

QImage filePixels(const QString& path)
{
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

bool mentions(const QStringList& messages, const QString& text)
{
    return std::any_of(messages.begin(), messages.end(), [&](const QString& one) { return one.contains(text); });
}

// One edit of the recipe's text, as a hand edit or a bad transfer makes it.
QString editedRecipe(QString recipe, Random& random, QString& what)
{
    if (recipe.isEmpty())
        return recipe;
    const int at = random.below(int(recipe.size()));
    switch (random.below(6)) {
    case 0:
        what = QStringLiteral("recipe cut at %1").arg(at);
        return recipe.left(at);
    case 1:
        what = QStringLiteral("recipe character %1 deleted").arg(at);
        return recipe.remove(at, 1);
    case 2:
        what = QStringLiteral("recipe character %1 replaced").arg(at);
        recipe[at] = QChar(char16_t(random.between(0x20, 0x7e)));
        return recipe;
    case 3: {
        // A digit changed: a stamp, a count, a parameter or a bit of the state.
        const qsizetype place = recipe.indexOf(QRegularExpression(QStringLiteral("[0-9]")), at);
        what = QStringLiteral("recipe digit %1 changed").arg(place);
        if (place >= 0)
            recipe[place] = QChar(char16_t(u'0' + random.below(10)));
        return recipe;
    }
    case 4:
        what = QStringLiteral("recipe number at %1 made huge").arg(at);
        return recipe.insert(at, QStringLiteral("9e999"));
    default:
        what = QStringLiteral("recipe text at %1 doubled").arg(at);
        return recipe.insert(at, recipe.mid(at, random.between(1, 200)));
    }
}

// A damaged copy of a saved picture, of the kinds that disks, transfers and
// hand edits make: the file cut short, bytes changed anywhere, the file
// emptied or replaced by noise, the recipe text cut or edited.
QByteArray damagedCopy(QByteArray bytes, Random& random, QString& what)
{
    const int at = random.below(int(bytes.size()));
    switch (random.below(6)) {
    case 0:
        what = QStringLiteral("cut to %1 of %2 bytes").arg(at).arg(bytes.size());
        return bytes.left(at);
    case 1: {
        const int count = random.between(1, 8);
        for (int i = 0; i < count; ++i)
            bytes[random.below(int(bytes.size()))] = char(random.below(256));
        what = QStringLiteral("%1 bytes changed").arg(count);
        return bytes;
    }
    case 2:
        what = QStringLiteral("emptied");
        return {};
    case 3:
        bytes = QByteArray(random.between(1, 4096), '\0');
        for (char& byte : bytes)
            byte = char(random.below(256));
        if (random.percent(50))
            bytes.replace(0, 8, QByteArray("\x89PNG\r\n\x1a\n", 8));  // noise behind a true signature
        what = QStringLiteral("noise of %1 bytes").arg(bytes.size());
        return bytes;
    }
    QImage picture = QImage::fromData(bytes, "png");
    const QString key = QString::fromLatin1(RecipeKey);
    picture.setText(key, editedRecipe(picture.text(key), random, what));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "png");
    return buffer.data();
}

}  // namespace

ModalCloser::ModalCloser()
{
    timer_.setInterval(2);
    QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
    timer_.start();
}

void ModalCloser::poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        messages_ << box->text();
        // A question (replace the file?) is answered yes; a message is acknowledged.
        QAbstractButton* answer = box->button(QMessageBox::Yes);
        if (!answer)
            answer = box->button(QMessageBox::Ok);
        if (answer)
            QTest::mouseClick(answer, Qt::LeftButton);
        else
            box->reject();
        return;
    }
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (!dialog)
        return;  // a progress dialog is left to finish
    if (dialog != answered_) {
        ++fileDialogs_;
        answered_ = dialog;
        enters_ = 0;
        if (!path_)
            return dialog->reject();
        // Given whole: a path typed in is taken apart by the dialog's
        // completion and selection as they come in.
        dialog->selectFile(*std::exchange(path_, std::nullopt));
    } else if (++enters_ > 50) {
        return dialog->reject();
    }
    // Enter presses the default button once the completion popup is closed:
    // left open, it takes the Enter for itself.
    while (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    QTest::keyClick(dialog, Qt::Key_Return);
}

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
    const std::pair<const char*, bool> others[] = {
        {"picture", after.picture != before.picture},    {"fields", after.texts != before.texts},
        {"options", after.options != before.options},    {"running", after.running != before.running},
        {"steps drawn", after.stepsDrawn != before.stepsDrawn},
    };
    for (const auto& [name, differs] : others)
        if (differs)
            changed << QString::fromLatin1(name);
    if (!changed.isEmpty())
        fail(QStringLiteral("%1 was turned down but changed: %2").arg(what, changed.join(u' ')));
}

// Presses the keys that open a file dialog; the dialog is given `path`.
bool Soak::withFileDialog(QKeyCombination keys, const QString& path)
{
    const int dialogs = closer_.fileDialogsAnswered();
    closer_.answerNextFileDialog(path);
    keyToWindow(keys);
    if (closer_.fileDialogsAnswered() > dialogs)
        return true;
    closer_.answerNextFileDialog(std::nullopt);
    fail(QStringLiteral("%1 showed no dialog").arg(QKeySequence(keys).toString()));
    return false;
}

// The file holds the picture on screen, with its recipe exactly when the
// journal is complete and its recipe fits in a picture that reads back;
// without one the user was told why.
void Soak::save(bool throughDialog)
{
    const QString path = QDir(folder_).filePath(QStringLiteral("%1-%2.png")
                                                    .arg(++fileNumber_, 6, 10, QLatin1Char('0'))
                                                    .arg(QLatin1String(form_->program().name)));
    const bool withRecipe =
        form_->session().journal().complete() && recipeFitsPicture(recipeToJson(form_->pictureRecipe()));
    const QImage shown = form_->grafico()->image();
    detail(QFileInfo(path).fileName());
    closer_.takeMessages();
    const bool done = throughDialog ? withFileDialog(Qt::ControlModifier | Qt::Key_S, path)
                                    : form_->pictureActions()->saveTo(path);
    const QStringList messages = closer_.takeMessages();
    ++saves_;
    if (!done || !QFile::exists(path))
        return fail(QStringLiteral("nothing was saved to %1 (%2)").arg(path, messages.join(u' ')));
    const bool hasRecipe = !QImage(path).text(QString::fromLatin1(RecipeKey)).isEmpty();
    if (filePixels(path) != shown)
        fail(QStringLiteral("the saved file does not hold the picture on screen"));
    if (hasRecipe != withRecipe)
        fail(QStringLiteral("saved %1 a recipe, where %2 was expected").arg(hasRecipe ? "with" : "without",
                                                                           withRecipe ? "one" : "none"));
    if (!withRecipe && !mentions(messages, QStringLiteral("senza la ricetta")))
        fail(QStringLiteral("a picture saved without its recipe, and the user was not told"));
    saved_.push_back({path, QLatin1String(form_->program().name), hasRecipe});
    if (saved_.size() > KeptFiles) {
        QFile::remove(saved_.front().path);
        saved_.pop_front();
    }
}

// A saved picture opens when this program saved it with its recipe.
void Soak::openSaved(bool throughDialog)
{
    if (saved_.empty())
        return save(false);
    const SavedFile& file = random_.pick(saved_);
    detail(QFileInfo(file.path).fileName());
    openAndCheck(file.path, file.hasRecipe && file.program == QLatin1String(form_->program().name), throughDialog);
}

// Damage may leave a sound recipe (a byte of the pixels changed, a digit of
// a parameter edited): such a file opens.
void Soak::openDamaged()
{
    if (saved_.empty())
        return save(false);
    QFile source(random_.pick(saved_).path);
    if (!source.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1").arg(source.fileName()));
    QString what;
    const QByteArray bytes = damagedCopy(source.readAll(), random_, what);
    QFile damaged(QDir(folder_).filePath(QStringLiteral("danneggiato.png")));
    if (!damaged.open(QIODevice::WriteOnly | QIODevice::Truncate) || damaged.write(bytes) != bytes.size())
        return fail(QStringLiteral("cannot write %1").arg(damaged.fileName()));
    damaged.close();
    detail(QStringLiteral("%1, %2").arg(QFileInfo(source).fileName(), what));
    openAndCheck(damaged.fileName(), std::nullopt, false);
}

// Opens a file, straight or with Ctrl+O. A sound file opens: the window
// shows its picture, idle, or once the run going on is over; a damaged one
// may open (unknown `sound`). A file turned down is so with a message, and
// nothing changes.
void Soak::openAndCheck(const QString& path, std::optional<bool> sound, bool throughDialog)
{
    const bool running = form_->isRunning();
    const Snapshot before = snapshot();
    closer_.takeMessages();
    bool opened = false;
    if (!throughDialog)
        opened = form_->pictureActions()->openFile(path);
    else if (!withFileDialog(Qt::ControlModifier | Qt::Key_O, path))
        return;
    const QStringList messages = closer_.takeMessages();
    const bool toldWhy = mentions(messages, QStringLiteral("Impossibile aprire"));
    if (throughDialog)
        opened = !toldWhy;  // the dialog says nothing; a message tells
    if (sound && *sound != opened)
        return fail(QStringLiteral("%1 was %2 (%3)").arg(path, opened ? "opened" : "turned down", messages.join(u' ')));
    if (!opened) {
        ++rejected_;
        if (!toldWhy)
            fail(QStringLiteral("a file was turned down without a message"));
        return checkUnchanged(before, path);
    }
    ++opens_;
    if (running)
        expectOpened_ = sound ? std::optional(filePixels(path)) : std::nullopt;
    else if (form_->isRunning())
        fail(QStringLiteral("the window runs after opening a picture"));
    else if (sound && form_->grafico()->image() != filePixels(path))
        fail(QStringLiteral("the window does not show the picture opened from %1").arg(path));
}

}  // namespace soak
