#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "core/FieldRules.h"
#include "picture/Recipe.h"
#include "program/Program.h"

class QAction;
class QMenu;
class QWidget;

namespace vortiquo {

class RunPace;

// What a tool window may know of the program's window, and no more: the
// fields as they stand and a signal when one is edited, a way to type into
// a field, and the recipe of the picture. The form makes one and hands it
// to every tool; the tools never see the form.
//
// It also owns the rule every tool window follows: a separate window whose
// parent is the program's window, so that it closes and goes with it, made
// at first use and opened beside the program's window.
class ToolHost : public QObject {
    Q_OBJECT
public:
    struct Sources {
        std::function<FieldTexts()> texts;                       // the fields' texts
        std::function<const SimulationState&()> state;           // the state the fields have made
        std::function<bool(Field, const QString&)> typeField;    // types into a field, as a user would
        std::function<std::optional<Recipe>()> recipe;           // none when the journal could not keep up
        std::function<bool()> running;                           // whether the window runs
    };
    // `window` is the program's window; `program` a row of the program table.
    ToolHost(QWidget& window, const Program& program, Sources sources);

    const Program& program() const { return program_; }
    // The program's window: the parent of tool windows and dialogs.
    QWidget& window() const { return window_; }

    FieldTexts texts() const { return sources_.texts(); }
    QString fieldText(Field which) const;
    const SimulationState& state() const { return sources_.state(); }
    // Where the analyses start: the state with the point that the fields
    // x0, y0 (z0) show (fieldStart in core/FieldRules.h).
    SimulationState start() const;
    // Writes `text` into a field as typing it would; false where the window lacks it.
    bool typeField(Field which, const QString& text) { return sources_.typeField(which, text); }
    std::optional<Recipe> recipe() const { return sources_.recipe(); }
    // Whether the program's window runs; then the tools pace what they show
    // (window/RunPace.h), and runEnded() tells when it stops.
    bool running() const { return sources_.running && sources_.running(); }
    // A pace for `tool`'s showings, following this window's runs.
    RunPace* runPace(QObject& tool);
    // How often a tool's progress bar moves: `usualMs` apart, or at the
    // pace of the showings while the program's window runs.
    int progressIntervalMs(int usualMs) const;

    // The window of `tool`, made by `make` at first use (with the program's
    // window as its parent) and placed beside the program's window; then
    // shown, raised and activated.
    QWidget* showToolWindow(const ToolWindow& tool, const std::function<QWidget*()>& make);
    // The window of `tool` if it was made, else nullptr.
    QWidget* toolWindow(const ToolWindow& tool) const;

    // Adds the program's tools to `menu`, with shortcuts that work anywhere
    // in the program's window and in the tool windows it opens.
    void addTools(QMenu& menu);

signals:
    // A field's text changed, by typing, pasting or the program; the state
    // already holds the new value.
    void fieldEdited(Field which);
    // A run of the program's window has ended.
    void runEnded();

protected:
    // The tool windows close with the program's window, and the tools'
    // shortcuts act in its fields too.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    const Program& program_;
    Sources sources_;
    std::vector<std::pair<const ToolWindow*, QWidget*>> windows_;
    std::vector<QKeySequence> shortcuts_;  // the tools'
    QList<QAction*> actions_;              // the tools', in the program's window and each tool window

};

}  // namespace vortiquo
