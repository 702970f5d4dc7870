#pragma once

// Helpers for driving a window the way a user does: key clicks into its
// fields, mouse clicks on its buttons, also between two steps of a run; and
// an independent replay of a run to tell what the picture must hold.

#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "ProgramRows.h"
#include "core/AdvanceOnce.h"
#include "window/DrawingArea.h"
#include "window/SimulationForm.h"

using namespace vortiquo;

namespace interaction {

inline QLineEdit* textField(const SimulationForm& form, const QString& name)
{
    return form.findChild<QLineEdit*>(name);
}

inline QPushButton* button(const SimulationForm& form, const QString& name)
{
    return form.findChild<QPushButton*>(name);
}

inline QRadioButton* option(const SimulationForm& form, int number)
{
    return form.findChild<QRadioButton*>(QStringLiteral("Option%1").arg(number));
}

inline void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

// Selects the whole text of the field and types over it; an empty text
// deletes the selection. Typing over a selection replaces it in one change.
inline void typeOver(QLineEdit* field, const QString& text)
{
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Backspace);
    else
        QTest::keyClicks(field, text);
}

// Applies edits written as "field=text", each typed over the field's text.
inline void applyEdits(const SimulationForm& form, const QStringList& edits)
{
    for (const QString& edit : edits) {
        const qsizetype equals = edit.indexOf(QLatin1Char('='));
        typeOver(textField(form, edit.left(equals)), edit.mid(equals + 1));
    }
}

inline QString exact(double value)
{
    return QString::number(value, 'g', 17);
}

// The real-valued members of the state, by name.
struct DoubleMember {
    const char* name;
    double SimulationState::*member;
};

inline constexpr DoubleMember DoubleMembers[] = {
    {"x", &SimulationState::x},     {"y", &SimulationState::y},         {"z", &SimulationState::z},
    {"a", &SimulationState::a},     {"b", &SimulationState::b},         {"c", &SimulationState::c},
    {"dt", &SimulationState::dt},   {"num", &SimulationState::num},     {"den", &SimulationState::den},
    {"alpha", &SimulationState::alpha}, {"cosAlpha", &SimulationState::cosAlpha},
    {"sinAlpha", &SimulationState::sinAlpha},
};

// The names of the members that differ between two states, doubles compared
// bit for bit.
inline QStringList differingMembers(const SimulationState& left, const SimulationState& right)
{
    QStringList names;
    for (const DoubleMember& entry : DoubleMembers)
        if (std::memcmp(&(left.*entry.member), &(right.*entry.member), sizeof(double)) != 0)
            names << QString::fromLatin1(entry.name);
    const std::pair<const char*, bool> others[] = {
        {"colourScheme", left.colourScheme != right.colourScheme},
        {"limitOn", left.limitOn != right.limitOn},
        {"stepLimit", left.stepLimit != right.stepLimit},
        {"stopRequested", left.stopRequested != right.stopRequested},
    };
    for (const auto& [name, differs] : others)
        if (differs)
            names << QString::fromLatin1(name);
    return names;
}

inline QStringList nonFiniteMembers(const SimulationState& state)
{
    QStringList names;
    for (const DoubleMember& entry : DoubleMembers)
        if (!std::isfinite(state.*entry.member))
            names << QString::fromLatin1(entry.name);
    return names;
}

// Runs the window's run loop with actions between its steps. An action runs
// once, the first time the run has counted at least its step; it receives
// the count at which it ran. A run that outlives the safety limits is stopped.
class LiveRun {
public:
    explicit LiveRun(SimulationForm& form, std::int64_t safetySteps = 200'000)
        : form_(form), safetySteps_(safetySteps)
    {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
    }

    LiveRun& at(std::int64_t step, std::function<void(std::int64_t)> action)
    {
        actions_.push_back({step, std::move(action)});
        return *this;
    }

    LiveRun& stopAt(std::int64_t step)
    {
        return at(step, [this](std::int64_t) { click(button(form_, QStringLiteral("Stop"))); });
    }

    // Clicks "Via"; returns when the run is over.
    void start()
    {
        clock_.start();
        timer_.start();
        click(button(form_, QStringLiteral("Via")));
        timer_.stop();
    }

    bool safetyStopped() const { return safetyStopped_; }
    std::size_t pending() const { return actions_.size(); }

private:
    struct Action {
        std::int64_t step;
        std::function<void(std::int64_t)> run;
    };

    void poll()
    {
        if (!form_.isRunning())
            return;
        const std::int64_t count = form_.stepCount();
        for (std::size_t i = 0; i < actions_.size();) {
            if (count >= actions_[i].step) {
                const Action due = actions_[i];
                actions_.erase(actions_.begin() + static_cast<std::ptrdiff_t>(i));
                due.run(count);
                if (!form_.isVisible())
                    return;
            } else {
                ++i;
            }
        }
        if (!safetyStopped_ && (count >= safetySteps_ || clock_.elapsed() > 15'000)) {
            safetyStopped_ = true;
            click(button(form_, QStringLiteral("Stop")));
        }
    }

    SimulationForm& form_;
    std::int64_t safetySteps_;
    QTimer timer_;
    QElapsedTimer clock_;
    std::vector<Action> actions_;
    bool safetyStopped_ = false;
};

// The steps a run takes after an action that ran at count `actedAt`, when the
// run has ended at count `endedAt` by its limit or by "Stop": the action ran
// after step actedAt + 1, and each later pass counted one step.
inline std::int64_t stepsAfter(std::int64_t actedAt, std::int64_t endedAt)
{
    return endedAt - actedAt - 1;
}

// The start point of every run.
inline SimulationState atStart(const Program& program, SimulationState state)
{
    resetToStart(*program.model, state);
    return state;
}

using Picture = std::map<std::pair<int, int>, QRgb>;

// A canvas that keeps every point at its logical pixel, a later point
// covering an earlier one, with the channels in the order given.
struct PictureCanvas {
    Picture* picture;
    const char* order;
    void setPoint(const PlotPoint& point)
    {
        if (!picture)
            return;
        const std::uint8_t components[3] = {point.red, point.green, point.blue};
        const int column = static_cast<int>(std::floor(point.x / 15.0));
        const int row = static_cast<int>(std::floor(point.y / 15.0));
        (*picture)[{column, row}] =
            qRgb(components[order[0] - '1'], components[order[1] - '1'], components[order[2] - '1']);
    }
};

// Replays `steps` steps from `state` apart from any window, leaving the last
// point in `state`; every plotted point goes into `picture` in the colour the
// scheme order gives. The order names the component (1 first, 2 second, 3
// third) feeding red, green and blue.
inline void replay(const Program& program, SimulationState& state, std::int64_t steps,
                   Picture* picture = nullptr, const char* order = "123")
{
    state.colourScheme = 5;  // red, green, blue take the first, second, third component
    PictureCanvas canvas{picture, order};
    for (std::int64_t i = 0; i < steps; ++i)
        if (!AdvanceOnce(*program.model, state, canvas))
            return;
}

// The image of `base` with the points of `picture` that fall inside it.
inline QImage overlay(QImage base, const Picture& picture)
{
    for (const auto& [where, colour] : picture)
        if (base.rect().contains(where.first, where.second))
            base.setPixel(where.first, where.second, colour);
    return base;
}

inline QImage filled(QImage like, const QColor& colour)
{
    like.fill(colour);
    return like;
}

// How many pixels of two equally sized images differ.
inline int differentPixels(const QImage& left, const QImage& right)
{
    if (left.size() != right.size())
        return -1;
    int count = 0;
    for (int row = 0; row < left.height(); ++row)
        for (int column = 0; column < left.width(); ++column)
            if (left.pixel(column, row) != right.pixel(column, row))
                ++count;
    return count;
}

}  // namespace interaction
