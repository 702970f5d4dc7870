#include "Soak.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "InteractionSupport.h"
#include "apps/Programs.h"
#include "picture/Redraw.h"

using namespace vortiquo;

namespace soak {

namespace {

// A run that no action has ended after this many passes is stopped, so that
// a field left without a step limit does not hold the soak.
constexpr std::int64_t MaxRunPasses = 40'000;
// A picture of more steps is cleared before the next idle action, so that
// the replay after each action stays quick.
constexpr std::int64_t MaxStepsDrawn = 60'000;
// A window that has had this many actions is left with "Esci" and "Sì",
// so that even a short soak meets every program.
constexpr std::int64_t MaxWindowActions = 120;
constexpr std::size_t LogLines = 30;
constexpr std::int64_t ProgressEvery = 60'000;  // milliseconds between reports of a long soak

}  // namespace

// name, weight while idle, weight during a run, action
const Soak::Action Soak::Actions[] = {
    {"type", 20, 22, [](Soak& s) { s.typeIntoField(false); }},
    {"keystrokes", 6, 10, [](Soak& s) { s.editKeystrokes(); }},
    {"paste", 2, 2, [](Soak& s) { s.pasteInto(s.randomField()); }},
    {"Via", 30, 4, [](Soak& s) { s.pressVia(); }},
    {"Stop", 2, 6, [](Soak& s) { s.clickControl(QStringLiteral("Stop")); }},
    {"Cancella", 4, 5, [](Soak& s) { s.clickControl(QStringLiteral("Cancella")); }},
    {"scheme", 5, 7, [](Soak& s) { s.chooseOption(1); }},
    {"background", 3, 4, [](Soak& s) { s.chooseOption(7); }},
    {"Esci", 3, 4, [](Soak& s) { s.clickControl(QStringLiteral("Esci")); }},
    {"No", 3, 3, [](Soak& s) { s.clickControl(QStringLiteral("NoUscire")); }},
    {"Sì", 2, 2, [](Soak& s) { s.clickControl(QStringLiteral("SiUscire")); }},
    {"Escape", 1, 1, [](Soak& s) { s.keyToWindow(Qt::Key_Escape); }},
    {"Tab and Space", 2, 2, [](Soak& s) { s.tabAndSpace(); }},
    {"save", 4, 3, [](Soak& s) { s.save(false); }},
    {"save with Ctrl+S", 1, 1, [](Soak& s) { s.save(true); }},
    {"open saved", 3, 2, [](Soak& s) { s.openSaved(false); }},
    {"open damaged", 4, 3, [](Soak& s) { s.openDamaged(); }},
    {"open with Ctrl+O", 1, 1, [](Soak& s) { s.openSaved(true); }},
    {"flood the journal", 0, 1, [](Soak& s) { s.floodJournal(); }},
    {"sensible value", 0, 0, [](Soak& s) { s.typeIntoField(true); }},  // chosen after a run that overflowed at once
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
    nextReport_ = ProgressEvery;
    clock_.start();
    passTimer_.start();
    while (!finished()) {
        if (!form_ || !form_->isVisible())
            openWindow();
        act();
    }
    passTimer_.stop();
    form_.reset();
    return failure_;
}

QString Soak::summary() const
{
    return QStringLiteral("soak seed %1: %2 actions survived in %3 s (%4 during runs; %5 runs; %6 windows); "
                          "%7 saves, %8 pictures opened, %9 files turned down; %10 checks, %11 full replays")
        .arg(seed_).arg(actions_).arg(double(clock_.elapsed()) / 1000.0, 0, 'f', 1)
        .arg(actionsDuringRuns_).arg(runs_).arg(windows_).arg(saves_).arg(opens_).arg(rejected_)
        .arg(checks_).arg(fullReplays_);
}

bool Soak::finished() const
{
    return !failure_.isEmpty() || actions_ >= target_ || (milliseconds_ > 0 && clock_.elapsed() >= milliseconds_);
}

// Only called between actions, never while a run of the old window is on
// the stack: a window closed during a run has ended it by then.
void Soak::openWindow()
{
    form_.reset();
    // The programs in turn, from one chosen at random.
    const auto programs = allPrograms();
    nextProgram_ = windows_++ == 0 ? std::size_t(random_.below(int(programs.size())))
                                   : (nextProgram_ + 1) % programs.size();
    form_ = std::make_unique<SimulationForm>(programs[nextProgram_]);
    form_->show();
    if (!QTest::qWaitForWindowExposed(form_.get()))
        fail(QStringLiteral("the window was never shown"));
    actionsInWindow_ = 0;
    incompleteSaveChecked_ = false;
    expectOpened_.reset();
    note(QStringLiteral("a new window"));
}

const Soak::Action& Soak::chooseAction(bool running)
{
    const auto named = [](const char* name) -> const Action& {
        return *std::find_if(std::begin(Actions), std::end(Actions),
                             [&](const Action& action) { return qstrcmp(action.name, name) == 0; });
    };
    if (running && passesInRun_ > MaxRunPasses)
        return named("Stop");
    if (!running && form_->session().stepsDrawn() > MaxStepsDrawn)
        return named("Cancella");
    if (!running && std::exchange(mendNext_, false) && random_.percent(50))
        return named("sensible value");
    if (!running && actionsInWindow_ >= MaxWindowActions)
        return named(form_->findChild<QWidget*>(QStringLiteral("Uscita"))->isVisible() ? "Sì" : "Esci");
    int roll = 0;
    for (const Action& action : Actions)
        roll += running ? action.runningWeight : action.idleWeight;
    roll = random_.below(roll);
    for (const Action& action : Actions)
        if ((roll -= running ? action.runningWeight : action.idleWeight) < 0)
            return action;
    return Actions[0];
}

void Soak::act()
{
    const bool running = form_->isRunning();
    const Action& action = chooseAction(running);
    ++actions_;
    actionsDuringRuns_ += running;
    ++actionsInWindow_;
    note(QString::fromUtf8(action.name));
    action.perform(*this);
    verify();
    // A line every minute, also from within a long run, so that a long soak
    // shows how far it has come.
    if (clock_.elapsed() >= nextReport_) {
        nextReport_ += ProgressEvery;
        qInfo().noquote() << QStringLiteral("soak seed %1: %2 actions in %3 s, %4 checks")
                                 .arg(seed_).arg(actions_).arg(clock_.elapsed() / 1000).arg(checks_);
    }
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
        ++runs_;
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

// What must hold in a shown window after every action: a colour scheme from
// 1 to 6; "Esci" disabled exactly while the exit panel shows; nothing
// infinite or NaN in the state; the fields showing the texts the state was
// computed from; and a journal that redraws the very picture on screen.
void Soak::verify()
{
    if (!failure_.isEmpty() || !form_ || !form_->isVisible())
        return;  // a closed window shows nothing to check
    ++checks_;
    if (expectOpened_ && !form_->isRunning()) {
        if (form_->grafico()->image() != *expectOpened_)
            fail(QStringLiteral("a picture opened during the run is not shown once the run is over"));
        expectOpened_.reset();
    }
    const auto scheme = form_->state().colourScheme;
    if (scheme < 1 || scheme > 6)
        fail(QStringLiteral("colour scheme %1 is not between 1 and 6").arg(scheme));
    const bool esciEnabled = interaction::button(*form_, QStringLiteral("Esci"))->isEnabled();
    if (esciEnabled == form_->findChild<QWidget*>(QStringLiteral("Uscita"))->isVisibleTo(form_.get()))
        fail(QStringLiteral("Esci is %1 while Uscita is %2")
                 .arg(esciEnabled ? "enabled" : "disabled", esciEnabled ? "shown" : "hidden"));
    const QStringList nonFinite = interaction::nonFiniteMembers(form_->state());
    if (!nonFinite.isEmpty())
        fail(QStringLiteral("not finite in the state: %1").arg(nonFinite.join(u' ')));
    for (std::size_t index = 0; index < FieldCount; ++index) {
        const QLineEdit* field = lineEdit(Field(index));
        const auto& kept = form_->session().texts()[index];
        // Compared as the handler converts it: half a surrogate pair becomes
        // a replacement character.
        if (field && (!kept || field->text().toStdString() != *kept))
            fail(QStringLiteral("%1 shows %2 characters, the state was computed from %3 bytes")
                     .arg(field->objectName()).arg(field->text().size()).arg(kept ? qsizetype(kept->size()) : -1));
    }
    checkReplay();
}

void Soak::checkReplay()
{
    const Session& session = form_->session();
    if (!session.journal().complete()) {
        // Over its bounds the journal cannot redraw the picture: a save
        // then writes the picture without a recipe and tells the user why.
        if (!std::exchange(incompleteSaveChecked_, true) && failure_.isEmpty()) {
            note(QStringLiteral("the journal is incomplete: save"));
            save(false);
        }
        return;
    }
    incompleteSaveChecked_ = false;
    ++fullReplays_;
    // A run that ended on a fault with no limit is replayed up to the fault.
    ReplayLimits limits;
    limits.maxSteps = session.stepsDrawn();
    const Redrawn redrawn = redraw(form_->program(), session.journalStart(), session.journalUntilNow(), 1, limits);
    if (redrawn.outcome.end == ReplayOutcome::End::damaged)
        fail(QStringLiteral("the journal does not fit together"));
    if (redrawn.outcome.steps != session.stepsDrawn())
        fail(QStringLiteral("the journal replays %1 steps, the window drew %2")
                 .arg(redrawn.outcome.steps).arg(session.stepsDrawn()));
    const QImage replayed = composed(redrawn.points, form_->grafico()->background());
    if (replayed != form_->grafico()->image())
        fail(QStringLiteral("the replayed picture differs from the window's in %1 pixels")
                 .arg(interaction::differentPixels(replayed, form_->grafico()->image())));
    QStringList differing = interaction::differingMembers(redrawn.outcome.state, form_->state());
    if (form_->isRunning())
        differing.removeAll(QStringLiteral("stopRequested"));  // the replay halts where the run stands
    if (!differing.isEmpty())
        fail(QStringLiteral("the replay ends in another state: %1").arg(differing.join(u' ')));
}

void Soak::note(const QString& what)
{
    QString line = QStringLiteral("#%1 ").arg(actions_);
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

// Only the first failure counts: what follows may be its consequence.
void Soak::fail(const QString& problem)
{
    if (!failure_.isEmpty())
        return;
    failure_ = QStringLiteral("soak with VORTIQUO_SOAK_SEED=%1 failed at action %2: %3\nthe last actions:\n")
                   .arg(seed_).arg(actions_).arg(problem);
    for (const QString& line : log_)
        failure_ += QStringLiteral("  ") + line + u'\n';
    failure_ += QStringLiteral("to repeat: VORTIQUO_SOAK_SEED=%1 VORTIQUO_SOAK_ACTIONS=%2").arg(seed_).arg(actions_);
}

}  // namespace soak
