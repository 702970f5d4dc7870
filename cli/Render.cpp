#include "cli/Render.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <cstdio>
#include <unistd.h>

#include "core/Session.h"
#include "picture/PictureFile.h"
#include "picture/Redraw.h"
#include "picture/SystemColours.h"

namespace {

void say(const QString& message)
{
    std::fputs(qPrintable(message + QLatin1Char('\n')), stderr);
}

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
    return recipe;
}

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

}  // namespace

Session editedSession(const Program& program, const std::vector<std::pair<Field, QString>>& edits)
{
    FieldTexts texts = designTexts(*program.layout);
    const SimulationState loaded = loadedState(texts, loadFacts(program));
    Session session(*program.model, loaded, texts, initialOption(*program.layout, 7, 12));
    for (const auto& [field, text] : edits)
        session.editField(field, text.toStdString());
    return session;
}

int renderPicture(const Program& program, const RenderRequest& request)
{
    // No window is shown. The application object gives the theme's default
    // palette, which colours the background as a window shows it at load;
    // the offscreen platform needs no display, whatever the environment says.
    int argc = 3;
    char platform[] = "-platform", offscreen[] = "offscreen";
    char* argv[] = {const_cast<char*>(program.name), platform, offscreen, nullptr};
    // Qt's own notices (say, about the runtime directory) are not for the
    // user of a command: every message here is ours, in Italian.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QGuiApplication application(argc, argv);

    Recipe recipe;
    if (request.from.isEmpty()) {
        recipe = recipeForRequest(program, request);
    } else {
        QString error;
        std::optional<Recipe> read = readRecipeFile(request.from, program, error);
        if (!read) {
            say(QStringLiteral("Impossibile ridisegnare «%1»: %2.").arg(request.from, error));
            return RenderNotWritten;
        }
        recipe = std::move(*read);
    }

    ProgressLine progress(request.from.isEmpty() ? request.steps.value_or(0) : recipe.steps);
    ReplayLimits limits;
    limits.progress = [&progress](std::int64_t steps) { return progress.update(steps); };
    limits.progressEvery = 1 << 20;
    RedrawnSaved replayed;
    if (request.from.isEmpty()) {
        replayed.redrawn = redraw(program, recipe.start, recipe.entries, request.scale, limits);
        replayed.whole = replayed.redrawn.outcome.end != ReplayOutcome::End::damaged;
    } else {
        replayed = redrawSaved(recipe, request.scale, limits);
    }
    if (!replayed.whole) {
        say(QStringLiteral("Impossibile ridisegnare «%1»: %2.").arg(request.from, brokenJournalReason()));
        return RenderNotWritten;
    }
    const Redrawn& redrawn = replayed.redrawn;
    const ReplayOutcome& outcome = redrawn.outcome;

    recipe.steps = outcome.steps;
    recipe.scale = request.scale;
    const FieldTexts texts = textsAfter(recipe.start.texts, recipe.entries);
    const QImage picture = composed(redrawn.points, recipe.background);
    const QString error = writePicture(request.output, picture, program, texts, outcome.steps, &recipe);
    if (!error.isEmpty()) {
        say(QStringLiteral("Impossibile scrivere «%1»: %2. Nessun file è stato modificato.").arg(request.output, error));
        return RenderNotWritten;
    }
    if (!recipeFitsPicture(recipe))
        say(QStringLiteral("Attenzione: «%1» è scritta senza la ricetta per ridisegnarla, troppo lunga per un "
                           "file PNG; usate testi più corti nei campi.")
                .arg(request.output));
    if (outcome.end == ReplayOutcome::End::fault) {
        say(QStringLiteral("Overflow numerico al passo %1: il calcolo è stato interrotto. L'immagine fino a quel "
                           "passo è in «%2».")
                .arg(outcome.faultStep)
                .arg(request.output));
        return RenderFault;
    }
    return RenderWritten;
}
