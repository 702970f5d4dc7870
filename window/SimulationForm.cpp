#include "window/SimulationForm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "core/AdvanceOnce.h"
#include "window/DrawingArea.h"
#include "engine/FaultText.h"
#include "window/LayoutBuilder.h"
#include "window/PictureActions.h"
#include "window/RunDispatcher.h"
#include "window/ToolHost.h"
#include "picture/SystemColours.h"

namespace vortiquo {

SimulationForm::SimulationForm(const Program& program, QWidget* parent) : QWidget(parent), program_(program)
{
    buildLayout(*this, *program_.layout);
    grafico_ = findChild<DrawingArea*>(QStringLiteral("Grafico"));
    if (grafico_)
        grafico_->setFixedSize(drawingAreaSize(program_));  // the size its picture and every replay take
    uscita_ = findChild<QWidget*>(QStringLiteral("Uscita"));
    esci_ = findChild<QPushButton*>(QStringLiteral("Esci"));
    // The design texts are in place; from here on every change of a text
    // runs its handler, the load's own rewrite of cT included.
    connectHandlers();
    Form_Load();
    pictureActions_ = new PictureActions(*this, *grafico_, program_,
                                         {[this] { return grafico_->image(); }, [this] { return pictureToSave(); }});
    connect(pictureActions_, &PictureActions::pictureOpened, this, &SimulationForm::showOpenedPicture);
    toolHost_ = new ToolHost(*this, program_,
                             {[this] { return session_.texts(); }, [this]() -> const SimulationState& { return state(); },
                              [this](Field which, const QString& text) { return typeField(which, text); },
                              [this]() -> std::optional<Recipe> {
                                  if (!session_.journal().complete())
                                      return std::nullopt;
                                  return pictureRecipe();
                              },
                              [this] { return isRunning(); }});
    connect(this, &SimulationForm::fieldEdited, toolHost_, &ToolHost::fieldEdited);
    connect(this, &SimulationForm::runEnded, toolHost_, &ToolHost::runEnded);
    toolHost_->addTools(*pictureActions_->menu());
}

void SimulationForm::connectHandlers()
{
    // Every parameter field this window has, with its change handler; the
    // map windows lack the flows' fields.
    constexpr void (SimulationForm::*fieldHandlers[FieldCount])() = {
        &SimulationForm::aT_Change,  &SimulationForm::bT_Change,       &SimulationForm::cT_Change,
        &SimulationForm::x0T_Change, &SimulationForm::y0T_Change,      &SimulationForm::z0T_Change,
        &SimulationForm::dtT_Change, &SimulationForm::termineT_Change, &SimulationForm::numT_Change,
        &SimulationForm::denT_Change,
    };
    for (std::size_t index = 0; index < FieldCount; ++index) {
        const QString name = QString::fromLatin1(FieldNames[index].data(), FieldNames[index].size());
        fields_[index] = findChild<QLineEdit*>(name);
        if (fields_[index])
            connect(fields_[index], &QLineEdit::textChanged, this, fieldHandlers[index]);
    }

    const struct {
        const char* name;
        void (SimulationForm::*handler)();
    } buttons[] = {
        {"Via", &SimulationForm::Via_Click},           {"Stop", &SimulationForm::Stop_Click},
        {"Cancella", &SimulationForm::Cancella_Click}, {"Esci", &SimulationForm::Esci_Click},
        {"NoUscire", &SimulationForm::NoUscire_Click}, {"SiUscire", &SimulationForm::SiUscire_Click},
    };
    for (const auto& button : buttons)
        if (auto* widget = findChild<QPushButton*>(QString::fromLatin1(button.name)))
            connect(widget, &QPushButton::clicked, this, button.handler);

    // Option1 to Option6 choose the trace scheme, Option7 to Option12 the
    // background; each acts when it becomes the selected button of its group.
    for (int number = 1; number <= 12; ++number) {
        QRadioButton* radio = option(number);
        if (!radio)
            continue;
        connect(radio, &QRadioButton::toggled, this, [this, number](bool checked) {
            if (!checked || showingOpened_)
                return;
            if (number <= 6)
                selectColourScheme(static_cast<std::int16_t>(number));
            else
                selectBackground(number);
        });
    }
}

void SimulationForm::Form_Load()
{
    FieldTexts texts = fieldTexts();
    const SimulationState loaded = loadedState(texts, loadFacts(program_));
    const int background = initialOption(*program_.layout, 7, 12);
    session_ = Session(*program_.model, loaded, texts, background);
    if (QLineEdit* cT = field(Field::c); cT && program_.cWrittenAtLoad) {
        cT->setText(QString::fromStdString(*texts[static_cast<std::size_t>(Field::c)]));  // runs cT_Change
        cT->setCursorPosition(0);  // show the start of the number
    }
    if (uscita_)
        uscita_->hide();
    if (grafico_ && program_.crossHairOverPlot)
        grafico_->setCursor(Qt::CrossCursor);
    selectBackground(background);  // starts the journal afresh, after the load's own edit
}

FieldTexts SimulationForm::fieldTexts() const
{
    FieldTexts texts;
    for (std::size_t index = 0; index < FieldCount; ++index)
        if (fields_[index])
            texts[index] = fields_[index]->text().toStdString();
    return texts;
}

QString SimulationForm::fieldText(Field which) const
{
    const QLineEdit* edit = field(which);
    return edit ? edit->text() : QString();
}

// --- The run -------------------------------------------------------------

void SimulationForm::Via_Click()
{
    if (closed_)
        return;
    if (session_.via())
        runLoop();
}

void SimulationForm::runLoop()
{
    const QPointer<SimulationForm> alive(this);
    for (;;) {
        // A pass after which nothing is pending only counts its step, so such
        // passes are taken as one batch; the last pass of the batch, after
        // which something is pending or the limit is reached, is a whole one.
        RunCounter& run = session_.run();
        const std::int64_t most = std::min(run.passesAhead(session_.state()), StepsBetweenLooks);
        const TrackedBatch batch = grafico_->advanceUntilPending(*program_.model, session_.state(), most, pendingFlag());
        session_.countSteps(batch.drawn);
        if (batch.faulted) {
            run.countQuietPasses(batch.drawn);
            session_.state().stopRequested = true;
            reportFault(run.stepCount + 1);
            break;
        }
        run.countQuietPasses(batch.drawn - 1);
        if (eventsPending()) {
            QCoreApplication::processEvents();
            if (!alive)
                return;  // the window is gone: touch nothing of it
        }
        if (closed_ || !session_.run().afterEvents(session_.state()))
            break;
    }
    session_.run().end();
    if (openedPicture_)
        applyOpenedPicture();
    emit runEnded();
}

void SimulationForm::reportFault(std::int64_t step)
{
    if (!faultMessage_) {
        faultMessage_ = new QMessageBox(QMessageBox::Warning, windowTitle(), QString(), QMessageBox::Ok, this);
        faultMessage_->setObjectName(QStringLiteral("messaggioOverflow"));
        faultMessage_->setModal(false);
    }
    faultMessage_->setText(overflowText(step));
    faultMessage_->show();
}

void SimulationForm::Stop_Click()
{
    session_.stop();
}

// --- Clearing and leaving -------------------------------------------------

void SimulationForm::Cancella_Click()
{
    if (grafico_)
        grafico_->clear();
    session_.clearPicture();
}

void SimulationForm::Esci_Click()
{
    esci_->setEnabled(false);
    uscita_->show();
}

void SimulationForm::NoUscire_Click()
{
    uscita_->hide();
    esci_->setEnabled(true);
}

void SimulationForm::SiUscire_Click()
{
    close();
}

void SimulationForm::closeEvent(QCloseEvent* event)
{
    closed_ = true;
    if (faultMessage_)
        faultMessage_->close();
    event->accept();
}

// --- Saved pictures -----------------------------------------------------

Recipe SimulationForm::pictureRecipe() const
{
    Recipe recipe;
    recipe.program = &program_;
    recipe.start = session_.journalStart();
    recipe.entries = session_.journalUntilNow();
    recipe.steps = session_.stepsDrawn();
    recipe.background = grafico_->background();
    // The density the points were drawn at: a picture keeps it until it is
    // erased, even once the window has moved to a screen of another density.
    recipe.scale = grafico_->image().devicePixelRatio();
    return recipe;
}

PictureToSave SimulationForm::pictureToSave() const
{
    PictureToSave picture{grafico_->image(), session_.texts(), session_.stepsDrawn(), std::nullopt};
    if (session_.journal().complete())
        picture.recipe = pictureRecipe();
    return picture;
}

void SimulationForm::showOpenedPicture(const Recipe& recipe, const Redrawn& redrawn)
{
    openedPicture_ = OpenedPicture{recipe, redrawn};
    if (isRunning())
        Stop_Click();  // the picture is shown when the run is over
    else
        applyOpenedPicture();
}

QRadioButton* SimulationForm::option(int number) const
{
    return findChild<QRadioButton*>(QStringLiteral("Option%1").arg(number));
}

void SimulationForm::applyOpenedPicture()
{
    OpenedPicture opened = std::move(*openedPicture_);
    openedPicture_.reset();
    // The picture was redrawn at the density of the moment it was opened. One
    // opened during a run is shown when the run is over, and the window may
    // have moved to a screen of another density meanwhile: then it is drawn
    // again, or, if the user cancels that, the window stays as it is.
    const double ratio = grafico_->devicePixelRatioF();
    if (opened.redrawn.points.devicePixelRatio() != ratio) {
        std::optional<Redrawn> again = pictureActions_->redrawForScreen(opened.recipe, ratio);
        if (!again)
            return;
        opened.redrawn = std::move(*again);
    }
    const ReplayOutcome& outcome = opened.redrawn.outcome;
    session_ = Session(*program_.model, opened.recipe.start, opened.recipe.entries, outcome.state, outcome.steps);
    // The controls show the end of the journal; no handler runs for them.
    for (std::size_t index = 0; index < FieldCount; ++index)
        if (const auto& text = session_.texts()[index]; fields_[index] && text) {
            const QSignalBlocker blocker(fields_[index]);
            fields_[index]->setText(QString::fromStdString(*text));
            fields_[index]->setCursorPosition(0);
        }
    showingOpened_ = true;  // the options only show what the journal says
    for (int number : {int(session_.state().colourScheme), session_.backgroundOption()})
        if (QRadioButton* radio = option(number))
            radio->setChecked(true);
    showingOpened_ = false;
    // Erased at the density of this moment, the area takes the points drawn at it.
    grafico_->setSystemBackground(BackgroundColourIndices[session_.backgroundOption() - 7]);
    const bool shown = grafico_->replacePoints(opened.redrawn.points);
    Q_ASSERT(shown);
    Q_UNUSED(shown);
}

// --- Colour options -------------------------------------------------------

void SimulationForm::selectColourScheme(std::int16_t scheme)
{
    session_.chooseScheme(scheme);
}

void SimulationForm::selectBackground(int option)
{
    if (grafico_)
        grafico_->setSystemBackground(BackgroundColourIndices[option - 7]);
    session_.chooseBackground(option);
}

// --- Parameter fields -----------------------------------------------------

void SimulationForm::fieldChanged(Field which)
{
    session_.editField(which, field(which)->text().toStdString());
    emit fieldEdited(which);
}

bool SimulationForm::typeField(Field which, const QString& text)
{
    QLineEdit* edit = field(which);
    if (!edit)
        return false;
    edit->setText(text);  // its change handler runs and journals the edit
    return true;
}

void SimulationForm::aT_Change() { fieldChanged(Field::a); }
void SimulationForm::bT_Change() { fieldChanged(Field::b); }
void SimulationForm::cT_Change() { fieldChanged(Field::c); }
void SimulationForm::x0T_Change() { fieldChanged(Field::x0); }
void SimulationForm::y0T_Change() { fieldChanged(Field::y0); }
void SimulationForm::z0T_Change() { fieldChanged(Field::z0); }
void SimulationForm::dtT_Change() { fieldChanged(Field::dt); }
void SimulationForm::termineT_Change() { fieldChanged(Field::termine); }
void SimulationForm::numT_Change() { fieldChanged(Field::num); }
void SimulationForm::denT_Change() { fieldChanged(Field::den); }

}  // namespace vortiquo
