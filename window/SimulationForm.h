#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>

#include "core/FieldRules.h"
#include "core/Session.h"
#include "program/Program.h"
#include "picture/Recipe.h"
#include "picture/Redraw.h"

class QLineEdit;
class QMessageBox;
class QPushButton;
class QRadioButton;

namespace vortiquo {

class DrawingArea;
class PictureActions;
class ToolHost;
struct PictureToSave;

// The one window of a program: its controls, its state, the run loop and
// the handlers of every control.
//
// The handlers keep the names of their controls and events (Via_Click,
// aT_Change, Form_Load), and the controls keep their Italian names, which
// are the program's vocabulary:
//   Via          start a run (pressed during a run: restart it)
//   Stop         stop the run
//   Cancella     clear the picture
//   Esci         exit; it opens Uscita, the confirmation panel ("Uscire?"),
//                with SiUscire ("Sì", leave) and NoUscire ("No", stay)
//   termine      the step limit (termineT; 0 for none)
//   Grafico      the drawing area
//   Equazioni    the picture of the model's equations
//   Parametri    the frame of the parameter fields; OpzioniSim the frame of
//                the colour options and the view angle
//   Option1-6    trace colour schemes; Option7-12 background colours
class SimulationForm : public QWidget {
    Q_OBJECT
public:
    // `program` is a row of the program table, which outlives every window:
    // the window and the recipes it makes point at it.
    explicit SimulationForm(const Program& program, QWidget* parent = nullptr);

    const Program& program() const { return program_; }
    const SimulationState& state() const { return session_.state(); }
    bool isRunning() const { return session_.run().running; }
    // Steps counted by the current (or last) run.
    std::int64_t stepCount() const { return session_.run().stepCount; }
    DrawingArea* grafico() const { return grafico_; }
    // The state, run and journal behind the controls.
    const Session& session() const { return session_; }
    PictureActions* pictureActions() const { return pictureActions_; }
    // What the tool windows know of this window.
    ToolHost* toolHost() const { return toolHost_; }

    // What a saved picture of this moment carries to be drawn again.
    Recipe pictureRecipe() const;

    // Writes `text` into a field as typing it would: its change handler runs
    // and the edit is journalled. False when the window lacks the field.
    bool typeField(Field which, const QString& text);
    // The text of a field, empty where the window lacks it.
    QString fieldText(Field which) const;

signals:
    // A field's text changed, by typing, pasting or the program; the state
    // already holds the new value.
    void fieldEdited(Field which);
    // A run has ended: stopped, finished, or faulted.
    void runEnded();

public slots:
    void Via_Click();
    void Stop_Click();
    void Cancella_Click();
    void Esci_Click();
    void NoUscire_Click();
    void SiUscire_Click();

    void aT_Change();
    void bT_Change();
    void cT_Change();
    void x0T_Change();
    void y0T_Change();
    void z0T_Change();
    void dtT_Change();
    void termineT_Change();
    void numT_Change();
    void denT_Change();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void connectHandlers();
    void fieldChanged(Field field);
    void selectColourScheme(std::int16_t scheme);
    void selectBackground(int option);
    FieldTexts fieldTexts() const;
    void runLoop();
    void reportFault(std::int64_t step);
    QLineEdit* field(Field which) const { return fields_[static_cast<std::size_t>(which)]; }
    QRadioButton* option(int number) const;
    PictureToSave pictureToSave() const;
    // Shows a picture opened from a file, with the fields and options as
    // they stood at the end of its journal, and leaves the window idle. A run
    // going on is stopped first, and the picture shown when it is over.
    void showOpenedPicture(const Recipe& recipe, const Redrawn& redrawn);
    void applyOpenedPicture();

    const Program& program_;  // a row of the program table
    Session session_;

    DrawingArea* grafico_ = nullptr;
    std::array<QLineEdit*, FieldCount> fields_{};  // nullptr where the window lacks the field
    QWidget* uscita_ = nullptr;
    QPushButton* esci_ = nullptr;
    QMessageBox* faultMessage_ = nullptr;
    PictureActions* pictureActions_ = nullptr;
    ToolHost* toolHost_ = nullptr;
    // A picture opened during a run, shown once the run is over.
    struct OpenedPicture {
        Recipe recipe;
        Redrawn redrawn;
    };
    std::optional<OpenedPicture> openedPicture_;
    bool showingOpened_ = false;
    bool closed_ = false;
};

}  // namespace vortiquo
