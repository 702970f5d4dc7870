#include "core/Session.h"

namespace vortiquo {

Session::Session(const Model& model, const SimulationState& loaded, const FieldTexts& texts, int backgroundOption)
    : model_(&model), state_(loaded), texts_(texts), backgroundOption_(backgroundOption)
{
    restartJournal();
}

Session::Session(const Model& model, const JournalStart& start, std::vector<JournalEntry> entries,
                 const SimulationState& ended, std::int64_t steps)
    : model_(&model), state_(ended), texts_(textsAfter(start.texts, entries)),
      backgroundOption_(start.backgroundOption), stepsDrawn_(steps)
{
    journal_.restart(start, std::move(entries));
}

void Session::restartJournal()
{
    journal_.restart({state_, run_, texts_, backgroundOption_});
    stepsDrawn_ = 0;
}

void Session::editField(Field field, const std::string& text)
{
    texts_[static_cast<std::size_t>(field)] = text;
    applyFieldText(state_, field, text);
    journal_.recordField(run_.stamp(), field, text, fieldEditOverrides(state_, field, text));
}

void Session::chooseScheme(std::int16_t scheme)
{
    journal_.recordScheme(run_.stamp(), scheme);
    state_.colourScheme = scheme;
}

void Session::chooseBackground(int option)
{
    backgroundOption_ = option;
    restartJournal();
}

void Session::clearPicture()
{
    restartJournal();
}

bool Session::via()
{
    journal_.recordVia(run_.stamp(), texts_, state_.colourScheme);
    return run_.via(*model_, state_);
}

void Session::stop()
{
    journal_.recordStop(run_.stamp());
    state_.stopRequested = true;
}

}  // namespace vortiquo
