#include "Soak.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QWindow>

#include "apps/Programs.h"
#include "shell/DrawingArea.h"
#include "shell/SimulationForm.h"

namespace soak {

namespace {

// A run that no action has ended after this many passes is stopped, so that
// a field left without a step limit does not hold the soak.
constexpr std::int64_t MaxRunPasses = 40'000;
// A picture of more steps is cleared before the next idle action, so that
// the replay after each action stays quick.
constexpr std::int64_t MaxStepsDrawn = 60'000;
constexpr std::size_t LogLines = 30;
constexpr std::int64_t ProgressEvery = 300'000;  // milliseconds between reports of a long soak
// A window that has had this many actions is left with "Esci" and "Sì",
// so that even a short soak meets every program.
constexpr std::int64_t MaxWindowActions = 120;

std::size_t programIndex(const Program& program)
{
    const auto programs = allPrograms();
    for (std::size_t index = 0; index < programs.size(); ++index)
        if (qstrcmp(programs[index].name, program.name) == 0)  // a window keeps a copy of its row
            return index;
    return 0;
}

}  // namespace

// name, weight while idle, weight during a run, action
const Soak::Action Soak::Actions[] = {
    {"type", 20, 22, &Soak::typeIntoField},
    {"keystrokes", 6, 10, &Soak::editKeystrokes},
    {"paste", 2, 2, &Soak::pasteLong},
    {"Via", 30, 4, &Soak::pressVia},
    {"Stop", 2, 6, &Soak::pressStop},
    {"Cancella", 4, 5, &Soak::pressCancella},
    {"scheme", 5, 7, &Soak::chooseScheme},
    {"background", 3, 4, &Soak::chooseBackground},
    {"Esci", 3, 4, &Soak::pressEsci},
    {"No", 3, 3, &Soak::pressNo},
    {"Sì", 2, 2, &Soak::pressSi},
    {"Escape", 1, 1, &Soak::pressEscape},
    {"Tab and Space", 2, 2, &Soak::tabAndSpace},
    {"save", 4, 3, &Soak::saveNow},
    {"save with Ctrl+S", 1, 1, &Soak::saveWithDialog},
    {"open saved", 3, 2, &Soak::openSaved},
    {"open damaged", 4, 3, &Soak::openDamaged},
    {"open with Ctrl+O", 1, 1, &Soak::openWithDialog},
    {"flood the journal", 0, 1, &Soak::floodJournal},
    {"sensible value", 0, 0, &Soak::typeSensibleValue},  // chosen after a run that overflowed at once
};

Soak::Soak(std::uint64_t seed, const QString& folder) : random_(seed), seed_(seed), folder_(folder)
{
    // Fires once in every pass of a run's event processing: the actions
    // during runs come from here, between two steps.
    passTimer_.setInterval(0);
    QObject::connect(&passTimer_, &QTimer::timeout, [this] { onPass(); });
}

Soak::~Soak() = default;

QString Soak::run(std::int64_t actions, std::int64_t milliseconds)
{
    target_ = actions;
    milliseconds_ = milliseconds;
    clock_.start();
    passTimer_.start();
    nextReport_ = ProgressEvery;
    while (!finished()) {
        if (!form_ || !form_->isVisible())
            openWindow();
        act();
    }
    passTimer_.stop();
    form_.reset();
    return failure_;
}

bool Soak::finished() const
{
    return !failure_.isEmpty() || figures_.actions >= target_ ||
           (milliseconds_ > 0 && clock_.elapsed() >= milliseconds_);
}

// Only called between actions, never while a run of the old window is on
// the stack: a window closed during a run has ended it by then.
void Soak::openWindow()
{
    form_.reset();
    // The programs in turn, from one chosen at random.
    const auto programs = allPrograms();
    nextProgram_ = figures_.windows == 0 ? std::size_t(random_.below(int(programs.size())))
                                         : (nextProgram_ + 1) % programs.size();
    const Program& program = programs[nextProgram_];
    form_ = std::make_unique<SimulationForm>(program);
    form_->show();
    if (!QTest::qWaitForWindowExposed(form_.get()))
        fail(QStringLiteral("the window of %1 was never shown").arg(QLatin1String(program.name)));
    ++figures_.windows;
    actionsInWindow_ = 0;
    incompleteSaveChecked_ = false;
    expectOpened_.reset();
    note(QStringLiteral("a new window of %1").arg(QLatin1String(program.name)));
}

const Soak::Action& Soak::chooseAction(bool running)
{
    const auto named = [](const char* name) -> const Action& {
        for (const Action& action : Actions)
            if (qstrcmp(action.name, name) == 0)
                return action;
        return Actions[0];
    };
    if (running && passesInRun_ > MaxRunPasses)
        return named("Stop");
    if (!running && form_->session().stepsDrawn() > MaxStepsDrawn)
        return named("Cancella");
    if (!running && std::exchange(mendNext_, false) && random_.percent(50))
        return named("sensible value");
    if (!running && actionsInWindow_ >= MaxWindowActions)
        return named(form_->findChild<QWidget*>(QStringLiteral("Uscita"))->isVisible() ? "Sì" : "Esci");
    int total = 0;
    for (const Action& action : Actions)
        total += running ? action.runningWeight : action.idleWeight;
    int roll = random_.below(total);
    for (const Action& action : Actions) {
        roll -= running ? action.runningWeight : action.idleWeight;
        if (roll < 0)
            return action;
    }
    return Actions[0];
}

void Soak::act()
{
    const bool running = form_->isRunning();
    const Action& action = chooseAction(running);
    ++figures_.actions;
    if (running)
        ++figures_.actionsDuringRuns;
    ++figures_.actionsPerProgram[programIndex(form_->program())];
    ++actionsInWindow_;
    note(QString::fromUtf8(action.name));
    QElapsedTimer took;
    took.start();
    const std::int64_t ownTimesBefore = ownTimes_;
    (this->*action.perform)();
    verify();
    // Its own time: less the actions it took in, during the run it started.
    const std::int64_t own = took.elapsed() - (ownTimes_ - ownTimesBefore);
    ownTimes_ += own;
    auto& [count, milliseconds] = figures_.kinds[QString::fromUtf8(action.name)];
    ++count;
    milliseconds += own;
    reportProgress();
}

// A line every few minutes, also from within a long run, so that a long
// soak shows how far it has come.
void Soak::reportProgress()
{
    if (clock_.elapsed() < nextReport_)
        return;
    nextReport_ += ProgressEvery;
    qInfo().noquote() << QStringLiteral("soak seed %1: %2 actions in %3 s, %4 checks")
                             .arg(seed_)
                             .arg(figures_.actions)
                             .arg(clock_.elapsed() / 1000)
                             .arg(figures_.checks.checks);
}

void Soak::onPass()
{
    if (!form_ || !form_->isRunning()) {
        passesInRun_ = 0;
        return;
    }
    if (acting_)
        return;  // a dialog of an action during this run has its own event loop
    if (passesInRun_++ == 0) {
        ++figures_.runs;
        nextActionPass_ = random_.between(1, 60);
    }
    if (!finished() && passesInRun_ < nextActionPass_)
        return;
    acting_ = true;
    if (finished()) {
        clickControl(QStringLiteral("Stop"));  // the soak is over, or has failed
    } else {
        act();
        nextActionPass_ = passesInRun_ + (random_.percent(20) ? random_.between(1, 3) : random_.between(5, 150));
    }
    acting_ = false;
}

void Soak::verify()
{
    if (!failure_.isEmpty() || !form_ || !form_->isVisible())
        return;  // a closed window shows nothing to check
    if (expectOpened_ && !form_->isRunning()) {
        if (form_->grafico()->image() != *expectOpened_)
            fail(QStringLiteral("a picture opened during the run is not shown once the run is over"));
        expectOpened_.reset();
    }
    const QStringList broken = brokenInvariants(*form_, figures_.checks);
    if (!broken.isEmpty())
        fail(broken.join(QStringLiteral("; ")));
    checkIncompleteJournalSaves();
}

// A journal over its bounds cannot redraw the picture: it must say so, and a
// save then writes the picture without a recipe and tells the user why.
void Soak::checkIncompleteJournalSaves()
{
    if (form_->session().journal().complete()) {
        incompleteSaveChecked_ = false;
        return;
    }
    if (incompleteSaveChecked_ || !failure_.isEmpty())
        return;
    incompleteSaveChecked_ = true;
    note(QStringLiteral("the journal is incomplete: save"));
    saveNow();
}

void Soak::note(const QString& what)
{
    QString line = QStringLiteral("#%1 ").arg(figures_.actions);
    if (form_) {
        line += QLatin1String(form_->program().name);
        if (form_->isRunning())
            line += QStringLiteral(" at step %1").arg(form_->stepCount());
    }
    log_.push_back(line + QStringLiteral(": ") + what);
    if (log_.size() > LogLines)
        log_.pop_front();
}

// What the action in hand did, on its own line of the log.
void Soak::detail(const QString& what)
{
    if (!log_.empty())
        log_.back() += QStringLiteral(": ") + what;
}

void Soak::fail(const QString& problem)
{
    if (!failure_.isEmpty())
        return;
    failure_ = QStringLiteral("soak with VORTIQUO_SOAK_SEED=%1 failed at action %2: %3\nthe last actions:\n")
                   .arg(seed_)
                   .arg(figures_.actions)
                   .arg(problem);
    for (const QString& line : log_)
        failure_ += QStringLiteral("  ") + line + u'\n';
    failure_ += QStringLiteral("to repeat: VORTIQUO_SOAK_SEED=%1 VORTIQUO_SOAK_ACTIONS=%2").arg(seed_).arg(figures_.actions);
}

// --- Input as a user gives it ------------------------------------------------

// A user clicks a window before typing into it; a fault message or a dialog
// may have taken the focus of the desktop.
void Soak::ensureActive()
{
    if (QApplication::activeWindow() == form_.get())
        return;
    form_->activateWindow();
    (void)QTest::qWaitForWindowActive(form_.get(), 1000);
}

// A click of the left button where the control is laid out, delivered to the
// window: whatever is there takes it, so a hidden "Sì" gets nothing and a
// disabled "Esci" ignores it.
void Soak::clickControl(const QString& name)
{
    ensureActive();
    QWidget* control = form_->findChild<QWidget*>(name);
    const QPoint where = control->mapTo(form_.get(), control->rect().center());
    QTest::mouseClick(form_->windowHandle(), Qt::LeftButton, Qt::NoModifier, where);
    figures_.inputEvents += 2;
}

void Soak::keyToWindow(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    ensureActive();
    QTest::keyClick(form_->windowHandle(), key, modifiers);
    figures_.inputEvents += 2;
}

void Soak::keyToField(QLineEdit* field, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(field, key, modifiers);
    figures_.inputEvents += 2;
}

void Soak::typeInto(QLineEdit* field, const QString& text)
{
    typeCharacters(field, text);
    figures_.inputEvents += 2 * text.size();
}

QLineEdit* Soak::randomField(Field& which)
{
    std::vector<std::pair<QLineEdit*, Field>> fields;
    for (std::size_t index = 0; index < FieldCount; ++index) {
        const QString name = QString::fromLatin1(FieldNames[index].data(), qsizetype(FieldNames[index].size()));
        if (auto* field = form_->findChild<QLineEdit*>(name))
            fields.emplace_back(field, static_cast<Field>(index));
    }
    const auto& chosen = fields[static_cast<std::size_t>(random_.below(int(fields.size())))];
    which = chosen.second;
    return chosen.first;
}

// The text the field has when the window opens.
QString Soak::designText(Field which) const
{
    const FieldTexts texts = designTexts(*form_->program().layout);
    const auto& text = texts[static_cast<std::size_t>(which)];
    return text ? QString::fromStdString(*text) : QString();
}

// What the state holds from a field's text.
double Soak::fieldValue(Field which) const
{
    const SimulationState& state = form_->state();
    switch (which) {
    case Field::a: return state.a;
    case Field::b: return state.b;
    case Field::c: return state.c;
    case Field::x0: return state.x;
    case Field::y0: return state.y;
    case Field::z0: return state.z;
    case Field::dt: return state.dt;
    case Field::num: return state.num;
    case Field::den: return state.den;
    case Field::termine: return state.limitOn ? state.stepLimit : 0;
    }
    return 0;
}

// Pastes with Ctrl+V over the whole text: the field must keep every
// character, and a number behind a long run of blanks must still be read.
bool Soak::pasteInto(QLineEdit* field, Field which, const Paste& paste)
{
    ++figures_.pastes;
    QGuiApplication::clipboard()->setText(paste.text);
    clickControl(field->objectName());
    keyToField(field, Qt::Key_A, Qt::ControlModifier);
    keyToField(field, Qt::Key_V, Qt::ControlModifier);
    if (field->text() != paste.text) {
        fail(QStringLiteral("a paste of %1 characters (%2) into %3 left %4")
                 .arg(paste.text.size())
                 .arg(QLatin1String(pasteKindName(paste.kind)), field->objectName())
                 .arg(field->text().size()));
        return false;
    }
    if (paste.kind == PasteKind::blanksThenDigit && fieldValue(which) != paste.digit) {
        fail(QStringLiteral("%1 reads %2 from blanks followed by %3")
                 .arg(field->objectName())
                 .arg(fieldValue(which))
                 .arg(paste.digit));
        return false;
    }
    return true;
}

}  // namespace soak
