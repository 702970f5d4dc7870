#pragma once

#include <QElapsedTimer>
#include <QFileDialog>
#include <QImage>
#include <QKeyCombination>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <iterator>
#include <memory>
#include <optional>
#include <random>

#include "core/FieldRules.h"
#include "core/SimulationState.h"

using namespace vortiquo;

class QLineEdit;
namespace vortiquo {
class SimulationForm;
}

namespace soak {

// The one source of chance in a soak. Every choice is drawn from it in the
// order the actions happen, so a seed repeats the same actions.
class Random {
public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}
    int below(int count) { return static_cast<int>(engine_() % static_cast<std::uint64_t>(count)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool percent(int chance) { return below(100) < chance; }
    template <typename Items>
    const auto& pick(const Items& items)
    {
        return items[static_cast<std::size_t>(below(static_cast<int>(std::size(items))))];
    }

private:
    std::mt19937_64 engine_;  // fully specified by the standard: the same numbers everywhere
};

// The kinds of long paste, each of exactly PasteLength characters.
enum class PasteKind {
    blanksThenDigit,  // blanks and tabs, then one digit: the field reads that digit
    hugeNumber,       // a 1 and zeros: beyond the range of a double
    tinyNumber,       // "0." and zeros, then a 1
    garbage,          // printable ASCII
    unicode,          // letters of many scripts, symbols and pairs of surrogates
    hexadecimal,      // "&H" and hexadecimal digits
    numberThenJunk,   // a small number, then letters
};
inline constexpr int PasteKindCount = 7;
inline constexpr int PasteLength = 100'000;

struct Paste {
    PasteKind kind;
    QString text;
    int digit = 0;  // blanksThenDigit: the digit at the end
};
Paste longPaste(Random& random, PasteKind kind);

// Answers the modal dialogs that actions open, from a timer that fires
// inside their own event loops: a message box is read and closed, a file
// dialog is given the path its action chose, or cancelled if none.
class ModalCloser {
public:
    ModalCloser();
    void answerNextFileDialog(std::optional<QString> path) { path_ = std::move(path); }
    QStringList takeMessages() { return std::exchange(messages_, {}); }  // those closed since the last call
    int fileDialogsAnswered() const { return fileDialogs_; }

private:
    void poll();

    QTimer timer_;
    std::optional<QString> path_;
    QPointer<QFileDialog> answered_;  // given its path: Enter again until it closes
    int enters_ = 0;
    QStringList messages_;
    int fileDialogs_ = 0;
};

// Drives one window at a time the way a user might, at random: typing,
// pasting, clicking every button and option, saving and opening pictures,
// often between two steps of a run. After every action the window's
// invariants must hold, and an action with an outcome of its own (a paste,
// a save, an open) checks it. "Sì" closes the window; the next action finds
// a fresh window of the next program.
class Soak {
public:
    Soak(std::uint64_t seed, const QString& folder);
    ~Soak();

    // Acts until `actions` are done, `milliseconds` have passed (0: no time
    // limit) or something breaks. Returns the failure, described with the
    // seed and the last actions, or an empty string.
    QString run(std::int64_t actions, std::int64_t milliseconds);
    QString summary() const;

private:
    struct Action {
        const char* name;
        int idleWeight, runningWeight;
        void (*perform)(Soak&);
    };
    struct SavedFile {
        QString path, program;
        bool hasRecipe;
    };
    struct Snapshot;

    // The loop and the checks (Soak.cpp).
    bool finished() const;
    void openWindow();
    const Action& chooseAction(bool running);
    void act();
    void onPass();
    void verify();
    void checkReplay();
    void note(const QString& what);
    void detail(const QString& what);
    void fail(const QString& problem);

    // Input as a user gives it, and the actions (SoakActions.cpp).
    void activate();
    void clickControl(const QString& name);
    void keyToWindow(QKeyCombination keys);
    Field randomField();
    QLineEdit* lineEdit(Field field) const;
    void typeOver(Field field, const QString& text);
    void typeIntoField(bool sensible);
    void editKeystrokes();
    bool pasteInto(Field field);
    void chooseOption(int first);  // one of the six from `first`
    void pressVia();
    void tabAndSpace();
    void floodJournal();

    // Saving and opening (SoakFiles.cpp).
    bool withFileDialog(QKeyCombination keys, const QString& path);
    void save(bool throughDialog);
    void openSaved(bool throughDialog);
    void openDamaged();
    void openAndCheck(const QString& path, std::optional<bool> sound, bool throughDialog);
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
    std::int64_t target_ = 0, milliseconds_ = 0, nextReport_ = 0;
    std::int64_t passesInRun_ = 0, nextActionPass_ = 0, actionsInWindow_ = 0;
    std::size_t nextProgram_ = 0;
    bool acting_ = false;
    bool incompleteSaveChecked_ = false;
    bool mendNext_ = false;               // the last run overflowed at once
    std::optional<QImage> expectOpened_;  // a picture opened during a run, shown when it ends
    std::deque<SavedFile> saved_;
    std::int64_t fileNumber_ = 0;
    std::deque<QString> log_;
    QString failure_;

    // The figures of the report.
    std::int64_t actions_ = 0, actionsDuringRuns_ = 0, runs_ = 0, windows_ = 0;
    std::int64_t saves_ = 0, opens_ = 0, rejected_ = 0, checks_ = 0, fullReplays_ = 0;
};

}  // namespace soak
