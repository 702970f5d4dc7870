#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>

#include "ModalCloser.h"
#include "SoakInputs.h"
#include "SoakInvariants.h"
#include "SoakRandom.h"
#include "core/SimulationState.h"

class QLineEdit;
class SimulationForm;

namespace soak {

// What a soak did, for its report.
struct Figures {
    std::int64_t actions = 0;
    std::int64_t actionsDuringRuns = 0;
    std::int64_t inputEvents = 0;  // key presses and releases, button presses and releases
    std::int64_t runs = 0;
    std::int64_t windows = 0;
    std::int64_t pastes = 0;
    std::int64_t saves = 0;
    std::int64_t savesWithoutRecipe = 0;
    std::int64_t fileDialogs = 0;
    std::int64_t openedSaved = 0;
    std::int64_t rejected = 0;          // damaged or foreign files turned down
    std::int64_t damagedButSound = 0;   // damage that left a sound recipe: the file opened
    std::array<std::int64_t, 4> actionsPerProgram{};
    // Per kind of action: how often, and the milliseconds it took with its
    // checks (an idle "Via" includes its run, not the actions during it).
    std::map<QString, std::pair<std::int64_t, std::int64_t>> kinds;
    CheckCounts checks;
};

// Drives one window at a time the way a user might, at random: typing,
// pasting, clicking every button and option, saving and opening pictures,
// often between two steps of a run. After every action the invariants of
// SoakInvariants.h must hold; an action with an outcome of its own (a paste,
// a save, an open) checks that too. "Sì" closes the window; the next action
// finds a fresh window of a program chosen at random.
class Soak {
public:
    Soak(std::uint64_t seed, const QString& folder);
    ~Soak();

    // Acts until `actions` are done, `milliseconds` have passed (0: no time
    // limit) or something breaks. Returns the failure, described with the
    // seed and the last actions, or an empty string.
    QString run(std::int64_t actions, std::int64_t milliseconds);
    const Figures& figures() const { return figures_; }

private:
    struct Action {
        const char* name;
        int idleWeight;
        int runningWeight;
        void (Soak::*perform)();
    };
    struct SavedFile {
        QString path;
        QString program;
        bool hasRecipe;
    };
    struct Snapshot;

    // The loop and the window.
    bool finished() const;
    void openWindow();
    void act();
    const Action& chooseAction(bool running);
    void onPass();
    void verify();
    void reportProgress();
    void checkIncompleteJournalSaves();
    void note(const QString& what);
    void detail(const QString& what);
    void fail(const QString& problem);

    // Input as a user gives it.
    void ensureActive();
    void clickControl(const QString& name);
    void keyToWindow(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void keyToField(QLineEdit* field, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void typeInto(QLineEdit* field, const QString& text);
    void typeOver(QLineEdit* field, const QString& text);
    QLineEdit* randomField(Field& which);
    bool pasteInto(QLineEdit* field, Field which, const Paste& paste);
    double fieldValue(Field which) const;
    QString designText(Field which) const;

    // The actions (SoakActions.cpp).
    void typeIntoField();
    void typeSensibleValue();
    void editKeystrokes();
    void pasteLong();
    void pressVia();
    void pressStop();
    void pressCancella();
    void chooseScheme();
    void chooseBackground();
    void pressEsci();
    void pressNo();
    void pressSi();
    void pressEscape();
    void tabAndSpace();
    void floodJournal();

    // Saving and opening (SoakFiles.cpp).
    void saveNow();
    void saveWithDialog();
    void openSaved();
    void openWithDialog();
    void openDamaged();
    QString nextPath();
    bool recipeExpected() const;
    void checkSavedFile(const QString& path, const QImage& shown, bool withRecipe);
    void rememberSaved(const QString& path, bool hasRecipe);
    void openAndCheck(const SavedFile& file, bool throughDialog);
    Snapshot snapshot() const;
    void checkUnchanged(const Snapshot& before, const QString& what);

    static const Action Actions[];

    Random random_;
    std::uint64_t seed_;
    QString folder_;
    std::unique_ptr<SimulationForm> form_;
    ModalCloser closer_;
    QTimer passTimer_;
    QElapsedTimer clock_;
    std::int64_t target_ = 0;
    std::int64_t milliseconds_ = 0;
    std::int64_t nextReport_ = 0;
    std::int64_t passesInRun_ = 0;
    std::int64_t nextActionPass_ = 0;
    bool acting_ = false;
    bool incompleteSaveChecked_ = false;
    bool mendNext_ = false;  // the last run overflowed at once
    std::optional<QImage> expectOpened_;  // a picture opened during a run, shown when it ends
    std::deque<SavedFile> saved_;
    std::int64_t fileNumber_ = 0;
    std::size_t nextProgram_ = 0;
    std::int64_t actionsInWindow_ = 0;
    std::int64_t ownTimes_ = 0;  // milliseconds of the actions done, each without those it took in
    std::deque<QString> log_;
    QString failure_;
    Figures figures_;
};

}  // namespace soak
