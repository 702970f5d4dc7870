#pragma once

#include <QCoreApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

#include "SimulationForm.h"

// Acts on a window while its run loop is going: each action runs between
// two steps once the run has counted its steps, inside the loop's own event
// processing, as a user's click or keystroke would.
class RunDriver {
public:
    explicit RunDriver(SimulationForm& form) : form_(form)
    {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    }

    // Runs the action the first time the run has counted at least `steps`.
    RunDriver& At(std::int64_t steps, std::function<void()> action)
    {
        actions_.push_back({steps, std::move(action)});
        return *this;
    }

    // Clicks "Via" and returns when the run has ended. A run that goes on
    // past `safetySteps` is stopped, so no test can hang.
    void Run(std::int64_t safetySteps = 5'000'000)
    {
        safetySteps_ = safetySteps;
        timer_.start();
        QTest::mouseClick(form_.findChild<QPushButton*>(QStringLiteral("Via")), Qt::LeftButton);
        timer_.stop();
    }

    void ClickButton(const char* name)
    {
        QTest::mouseClick(form_.findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
    }

private:
    struct Action {
        std::int64_t steps;
        std::function<void()> run;
    };

    void Poll()
    {
        if (!form_.isRunning())
            return;
        for (std::size_t i = 0; i < actions_.size(); ++i) {
            if (form_.stepCount() >= actions_[i].steps) {
                const Action action = actions_[i];
                actions_.erase(actions_.begin() + static_cast<std::ptrdiff_t>(i));
                action.run();
                return;
            }
        }
        if (form_.stepCount() >= safetySteps_)
            ClickButton("Stop");
    }

    SimulationForm& form_;
    QTimer timer_;
    std::vector<Action> actions_;
    std::int64_t safetySteps_ = 0;
};
