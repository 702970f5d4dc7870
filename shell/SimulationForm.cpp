#include "SimulationForm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <charconv>
#include <cmath>
#include <limits>

#include "DrawingArea.h"
#include "LayoutBuilder.h"
#include "ParseNumber.h"
#include "SystemColours.h"

namespace {

// c written with 15 significant digits and a full stop, whatever the locale.
QString FifteenDigits(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return QString::fromLatin1(buffer, static_cast<qsizetype>(result.ptr - buffer));
}

// A step limit held in 32 bits: ties go to the even neighbour, and values
// beyond the range saturate to it.
std::int32_t RoundToStepLimit(double value)
{
    const double rounded = std::nearbyint(value);
    if (rounded <= std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    if (rounded >= std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(rounded);
}

}  // namespace

SimulationForm::SimulationForm(const ProgramDescription& program, QWidget* parent)
    : QWidget(parent), program_(program)
{
    BuildLayout(*this, *program.layout);
    grafico_ = findChild<DrawingArea*>(QStringLiteral("Grafico"));
    uscita_ = findChild<QWidget*>(QStringLiteral("Uscita"));
    esci_ = findChild<QPushButton*>(QStringLiteral("Esci"));
    // The design texts are in place; from here on every change of a text
    // runs its handler, the load's own rewrite of cT included.
    ConnectHandlers();
    Form_Load();
}

void SimulationForm::ConnectHandlers()
{
    // Every parameter field this window has, with its change handler; the
    // map windows lack the flows' fields.
    const struct {
        const char* name;
        QLineEdit* SimulationForm::*field;
        void (SimulationForm::*handler)();
    } fields[] = {
        {"aT", &SimulationForm::aT_, &SimulationForm::aT_Change},
        {"bT", &SimulationForm::bT_, &SimulationForm::bT_Change},
        {"cT", &SimulationForm::cT_, &SimulationForm::cT_Change},
        {"x0T", &SimulationForm::x0T_, &SimulationForm::x0T_Change},
        {"y0T", &SimulationForm::y0T_, &SimulationForm::y0T_Change},
        {"z0T", &SimulationForm::z0T_, &SimulationForm::z0T_Change},
        {"dtT", &SimulationForm::dtT_, &SimulationForm::dtT_Change},
        {"termineT", &SimulationForm::termineT_, &SimulationForm::termineT_Change},
        {"numT", &SimulationForm::numT_, &SimulationForm::numT_Change},
        {"denT", &SimulationForm::denT_, &SimulationForm::denT_Change},
    };
    for (const auto& entry : fields) {
        this->*entry.field = findChild<QLineEdit*>(QString::fromLatin1(entry.name));
        if (QLineEdit* field = this->*entry.field)
            connect(field, &QLineEdit::textChanged, this, entry.handler);
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
        auto* option = findChild<QRadioButton*>(QStringLiteral("Option%1").arg(number));
        if (!option)
            continue;
        connect(option, &QRadioButton::toggled, this, [this, number](bool checked) {
            if (!checked)
                return;
            if (number <= 6)
                SelectColourScheme(static_cast<std::int16_t>(number));
            else
                SelectBackground(BackgroundColourIndices[number - 7]);
        });
    }
}

double SimulationForm::FieldValue(const QLineEdit* field) const
{
    return field ? ParseNumber(field->text().toStdString()) : 0.0;
}

void SimulationForm::Form_Load()
{
    state_.x = FieldValue(x0T_);
    state_.y = FieldValue(y0T_);
    state_.z = FieldValue(z0T_);
    state_.a = FieldValue(aT_);
    state_.b = FieldValue(bT_);
    if (program_.writesCAtLoad) {
        state_.c = -8.0 / 3.0;
        if (cT_) {
            cT_->setText(FifteenDigits(state_.c));  // runs cT_Change before it returns
            cT_->setCursorPosition(0);              // show the start of the number
        }
    } else {
        state_.c = FieldValue(cT_);
    }
    state_.dt = FieldValue(dtT_);
    if (uscita_)
        uscita_->hide();
    if (grafico_) {
        state_.plotHeight = static_cast<float>(grafico_->height() * 15);
        state_.plotWidth = static_cast<float>(grafico_->width() * 15);
    }
    state_.colourScheme = program_.initialColourScheme;
    if (numT_ && denT_) {
        state_.num = FieldValue(numT_);
        state_.den = FieldValue(denT_);
        SetAngle((AngleConstant * state_.num) / state_.den);  // multiplied first at load
    }
    if (grafico_ && program_.crossHairOverPlot)
        grafico_->setCursor(Qt::CrossCursor);
    SelectBackground(BackgroundColourIndices[1]);  // caption text, as Option8 selects
    state_.limitOn = false;
}

// --- The run -------------------------------------------------------------

void SimulationForm::Via_Click()
{
    if (closed_)
        return;
    state_.stopRequested = false;
    stepCount_ = 0;
    ResetToStart(*program_.model, state_);
    if (running_) {
        // Pressed during a run: the running loop goes on from the start
        // point with a fresh count instead of a nested loop.
        restarted_ = true;
        return;
    }
    running_ = true;
    RunLoop();
}

void SimulationForm::RunLoop()
{
    const QPointer<SimulationForm> alive(this);
    for (;;) {
        if (!AdvanceOnce()) {
            state_.stopRequested = true;
            ReportFault(stepCount_ + 1);
            break;
        }
        QCoreApplication::processEvents();
        if (!alive)
            return;  // the window is gone: touch nothing of it
        if (closed_)
            break;
        if (restarted_) {
            // "Via" was pressed during this pass: the next step is the first
            // of the new run, counted from 0.
            restarted_ = false;
            continue;
        }
        ++stepCount_;
        if (state_.limitOn && stepCount_ == state_.stepLimit)
            state_.stopRequested = true;
        if (state_.stopRequested)
            break;
    }
    running_ = false;
}

bool SimulationForm::AdvanceOnce()
{
    const Model& model = *program_.model;
    if (!model.StepModel(state_))
        return false;
    PlotPoint point;
    if (!model.PlotStep(state_, point))
        return false;
    grafico_->setPoint(point.x, point.y, qRgb(point.red, point.green, point.blue));
    CommitNext(model, state_);
    return true;
}

void SimulationForm::ReportFault(std::int64_t step)
{
    if (!faultMessage_) {
        faultMessage_ = new QMessageBox(QMessageBox::Warning, windowTitle(), QString(), QMessageBox::Ok, this);
        faultMessage_->setObjectName(QStringLiteral("messaggioOverflow"));
        faultMessage_->setModal(false);
    }
    faultMessage_->setText(
        QStringLiteral("Overflow numerico al passo %1: il calcolo è stato interrotto.").arg(step));
    faultMessage_->show();
}

void SimulationForm::Stop_Click()
{
    state_.stopRequested = true;
}

// --- Clearing and leaving -------------------------------------------------

void SimulationForm::Cancella_Click()
{
    if (grafico_)
        grafico_->clear();
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

// --- Colour options -------------------------------------------------------

void SimulationForm::SelectColourScheme(std::int16_t scheme)
{
    state_.colourScheme = scheme;
}

void SimulationForm::SelectBackground(int systemColourIndex)
{
    if (grafico_)
        grafico_->setSystemBackground(systemColourIndex);
}

// --- Parameter fields -----------------------------------------------------

void SimulationForm::aT_Change() { state_.a = FieldValue(aT_); }
void SimulationForm::bT_Change() { state_.b = FieldValue(bT_); }
void SimulationForm::cT_Change() { state_.c = FieldValue(cT_); }
void SimulationForm::x0T_Change() { state_.x = FieldValue(x0T_); }
void SimulationForm::y0T_Change() { state_.y = FieldValue(y0T_); }
void SimulationForm::z0T_Change() { state_.z = FieldValue(z0T_); }
void SimulationForm::dtT_Change() { state_.dt = FieldValue(dtT_); }

void SimulationForm::termineT_Change()
{
    const double value = FieldValue(termineT_);
    if (value == 0.0) {
        state_.limitOn = false;  // the last limit is kept for later
        return;
    }
    state_.limitOn = true;
    state_.stepLimit = RoundToStepLimit(value);
}

void SimulationForm::numT_Change()
{
    state_.num = FieldValue(numT_);
    ApplyAngle();
}

void SimulationForm::denT_Change()
{
    state_.den = FieldValue(denT_);
    ApplyAngle();
}

void SimulationForm::ApplyAngle()
{
    // While den is 0 (say the field was emptied on the way to a new number),
    // or the quotient has no finite value, the view keeps its last angle.
    const double alpha = (state_.num / state_.den) * AngleConstant;
    if (state_.den == 0.0 || !std::isfinite(alpha))
        return;
    SetAngle(alpha);
}

void SimulationForm::SetAngle(double alpha)
{
    state_.alpha = alpha;
    state_.cosAlpha = std::cos(alpha);
    state_.sinAlpha = std::sin(alpha);
}
