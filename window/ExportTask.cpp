#include "window/ExportTask.h"

#include <algorithm>

#include "engine/FrameSink.h"
#include "picture/DensityPicture.h"
#include "picture/PictureFile.h"
#include "picture/Redraw.h"

namespace vortiquo {

namespace {

// Remembers the first no of `keepGoing`, so that a replay or a writer that
// took it is known afterwards to have been called off.
class CallOff {
public:
    explicit CallOff(const std::function<bool(double)>& keepGoing) : keepGoing_(keepGoing) {}
    bool ask(double share)
    {
        calledOff_ = calledOff_ || !keepGoing_(share);
        return !calledOff_;
    }
    bool calledOff() const { return calledOff_; }

private:
    const std::function<bool(double)>& keepGoing_;
    bool calledOff_ = false;
};

ExportResult failed(const QString& error)
{
    return {ExportResult::End::failed, error};
}

ExportResult writeImage(const ExportTask& task, CallOff& callOff)
{
    const Recipe& recipe = task.recipe;
    if (!drawingFits(task.settings.scale, task.settings.look.supersample))
        return failed(QStringLiteral("la scala per il sovracampionamento supera %1").arg(MostDrawingScale));
    ReplayLimits limits;
    limits.progress = [&](std::int64_t steps) {
        return callOff.ask(static_cast<double>(steps) / static_cast<double>(std::max<std::int64_t>(recipe.steps, 1)));
    };
    limits.progressEvery = 1 << 18;
    LookedPicture looked = drawLooked(recipe, task.settings.scale, task.settings.look, limits, true);
    if (callOff.calledOff())
        return {ExportResult::End::cancelled, {}};
    if (!looked.whole)
        return failed(brokenJournalReason());
    const FieldTexts texts = textsAfter(recipe.start.texts, recipe.entries);
    // A recipe too long to read back is left out by writePicture itself.
    const QString error = writePicture(task.path, std::move(looked.picture), task.program, texts, recipe.steps,
                                       recipeToJson(recipe), [&] { return callOff.ask(1.0); });
    if (callOff.calledOff())
        return {ExportResult::End::cancelled, {}};
    return error.isEmpty() ? ExportResult{} : failed(error);
}

ExportResult writeVideo(const ExportTask& task, CallOff& callOff)
{
    VideoEncoder encoder(task.path, task.settings.fps, task.recipe.background);
    const VideoOutcome outcome = makeVideo(task.recipe, task.recipe.steps, task.settings, encoder,
                                           [&](double share) { return callOff.ask(share); });
    switch (outcome.end) {
    case VideoOutcome::End::written:
    case VideoOutcome::End::fault:  // later frames repeat the last, as the window showed it
        return {};
    case VideoOutcome::End::cancelled:
        return {ExportResult::End::cancelled, {}};
    case VideoOutcome::End::failed:
        break;
    }
    return failed(outcome.error);
}

}  // namespace

ExportTask::ExportTask(const Program& shown, const Recipe& drawn, bool asVideo, const VideoSettings& chosen,
                       const QString& file)
    : program(shown), recipe(drawn), video(asVideo), settings(chosen), path(file)
{
    recipe.program = &program;
    recipe.scale = chosen.scale;
    recipe.look = chosen.look;
}

ExportResult runExport(const ExportTask& task, const std::function<bool(double)>& keepGoing)
{
    CallOff callOff(keepGoing);
    return task.video ? writeVideo(task, callOff) : writeImage(task, callOff);
}

}  // namespace vortiquo
