#include "cli/Render.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <cstdio>
#include <unistd.h>

#include "cli/EditedSession.h"
#include "cli/HeadlessApplication.h"
#include "picture/DensityPicture.h"
#include "picture/PictureFile.h"
#include "picture/Redraw.h"
#include "picture/SystemColours.h"
#include "engine/FaultText.h"

namespace vortiquo {

namespace {

void say(const QString& message)
{
    std::fputs(qPrintable(message + QLatin1Char('\n')), stderr);
}

void sayCannotRedraw(const QString& path, const QString& why)
{
    say(QStringLiteral("Impossibile ridisegnare «%1»: %2.").arg(path, why));
}

}  // namespace

// The journal of a window that loads, takes the command line's edits and
// options as typed and clicked before "Via", and runs for the given steps.
Recipe recipeForRequest(const Program& program, const RenderRequest& request)
{
    Session session = editedSession(program, request.edits);
    for (int option : request.options) {
        if (option <= 6)
            session.chooseScheme(static_cast<std::int16_t>(option));
        else
            session.chooseBackground(option);
    }
    session.editField(Field::termine, std::to_string(request.steps.value_or(1)));
    session.via();  // the run itself is the replay's
    Recipe recipe;
    recipe.program = &program;
    recipe.start = session.journalStart();
    recipe.entries = session.journal().entries();
    recipe.background = systemColour(BackgroundColourIndices[session.backgroundOption() - 7]);
    recipe.look = request.look.value_or(PictureLook{});
    return recipe;
}

namespace {

// While standard error is a terminal, a line a few times a second with the
// share done and the speed; nothing otherwise.
class ProgressLine {
public:
    explicit ProgressLine(std::int64_t total) : total_(total), shown_(isatty(STDERR_FILENO) == 1) { clock_.start(); }
    ~ProgressLine()
    {
        if (drawn_)
            std::fputs("\n", stderr);
    }

    bool update(std::int64_t steps)
    {
        if (!shown_ || clock_.elapsed() < nextMs_)
            return true;
        nextMs_ = clock_.elapsed() + 250;
        const double seconds = static_cast<double>(clock_.nsecsElapsed()) * 1e-9;
        std::fprintf(stderr, "\r%3.0f%%  %.1f milioni di passi al secondo ", total_ > 0 ? 100.0 * static_cast<double>(steps) / static_cast<double>(total_) : 0.0,
                     seconds > 0 ? static_cast<double>(steps) / seconds / 1e6 : 0.0);
        std::fflush(stderr);
        drawn_ = true;
        return true;
    }

private:
    std::int64_t total_;
    bool shown_;
    bool drawn_ = false;
    qint64 nextMs_ = 250;
    QElapsedTimer clock_;
};

// Writes a rendered picture with its recipe and says how the run ended.
int writeRendered(const Program& program, const RenderRequest& request, Recipe& recipe, QImage picture,
                  const ReplayOutcome& outcome)
{
    recipe.steps = outcome.steps;
    recipe.scale = request.scale;
    const FieldTexts texts = textsAfter(recipe.start.texts, recipe.entries);
    const QByteArray recipeJson = recipeToJson(recipe);
    const QString error =
        writePicture(request.output, std::move(picture), program, texts, outcome.steps, recipeJson);
    if (!error.isEmpty()) {
        say(QStringLiteral("Impossibile scrivere «%1»: %2. Nessun file è stato modificato.").arg(request.output, error));
        return RenderNotWritten;
    }
    if (!recipeFitsPicture(recipeJson))
        say(QStringLiteral("Attenzione: «%1» è scritta senza la ricetta per ridisegnarla, troppo lunga per un "
                           "file PNG; usate testi più corti nei campi.")
                .arg(request.output));
    if (outcome.end == ReplayOutcome::End::fault) {
        say(overflowText(outcome.faultStep) +
            QStringLiteral(" L'immagine fino a quel passo è in «%1».").arg(request.output));
        return RenderFault;
    }
    return RenderWritten;
}

// A picture other than the window's: its density, or drawn larger and
// averaged down.
int renderLooked(const Program& program, const RenderRequest& request, Recipe recipe, const ReplayLimits& limits)
{
    if (!drawingFits(request.scale, recipe.look.supersample)) {
        say(QStringLiteral("Impossibile ridisegnare «%1»: la scala per il sovracampionamento supera %2; usate "
                           "una --scale più piccola.")
                .arg(request.from)
                .arg(MostDrawingScale));
        return RenderNotWritten;
    }
    LookedPicture looked = drawLooked(recipe, request.scale, recipe.look, limits, !request.from.isEmpty());
    if (!looked.whole) {
        sayCannotRedraw(request.from, brokenJournalReason());
        return RenderNotWritten;
    }
    return writeRendered(program, request, recipe, std::move(looked.picture), looked.outcome);
}

}  // namespace

int renderPicture(const Program& program, const RenderRequest& request)
{
    const HeadlessApplication application(program);

    Recipe recipe;
    if (request.from.isEmpty()) {
        recipe = recipeForRequest(program, request);
    } else {
        QString error;
        std::optional<Recipe> read = readRecipeFile(request.from, program, error);
        if (!read) {
            sayCannotRedraw(request.from, error);
            return RenderNotWritten;
        }
        recipe = std::move(*read);
    }

    ProgressLine progress(request.from.isEmpty() ? request.steps.value_or(0) : recipe.steps);
    ReplayLimits limits;
    limits.progress = [&progress](std::int64_t steps) { return progress.update(steps); };
    limits.progressEvery = 1 << 20;
    if (request.look)
        recipe.look = *request.look;
    if (!recipe.look.plain())
        return renderLooked(program, request, std::move(recipe), limits);
    RedrawnSaved replayed;
    if (request.from.isEmpty()) {
        replayed.redrawn = redraw(program, recipe.start, recipe.entries, request.scale, limits);
        replayed.whole = replayed.redrawn.outcome.end != ReplayOutcome::End::damaged;
    } else {
        replayed = redrawSaved(recipe, request.scale, limits);
    }
    if (!replayed.whole) {
        sayCannotRedraw(request.from, brokenJournalReason());
        return RenderNotWritten;
    }
    Redrawn& redrawn = replayed.redrawn;
    const ReplayOutcome& outcome = redrawn.outcome;

    // The points become the picture and the picture becomes the file, each
    // handed over whole: a large render is held once, not three times.
    return writeRendered(program, request, recipe, composed(std::move(redrawn.points), recipe.background), outcome);
}

}  // namespace vortiquo
