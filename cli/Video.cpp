#include "cli/Video.h"

#include <QGuiApplication>
#include <cstdio>
#include <unistd.h>

#include "cli/HeadlessApplication.h"
#include "picture/DensityPicture.h"
#include "engine/FrameSink.h"
#include "engine/InterruptCleanup.h"
#include "picture/PictureFile.h"

namespace vortiquo {

namespace {

void say(const QString& message)
{
    std::fputs(qPrintable(message + QLatin1Char('\n')), stderr);
}

// The share done, on a terminal only, when it has moved by a whole percent.
class PercentLine {
public:
    PercentLine() : shown_(isatty(STDERR_FILENO) == 1) {}
    ~PercentLine()
    {
        if (percent_ >= 0)
            std::fputs("\n", stderr);
    }
    bool update(double share)
    {
        const int percent = static_cast<int>(share * 100);
        if (shown_ && percent != percent_) {
            std::fprintf(stderr, "\r%3d%%", percent);
            std::fflush(stderr);
            percent_ = percent;
        }
        return true;
    }

private:
    bool shown_;
    int percent_ = -1;
};

}  // namespace

int makeVideoFile(const Program& program, const VideoRequest& request)
{
    // Ctrl+C or a kill leaves neither a hidden film nor a folder of frames.
    const InterruptCleanup interrupts;
    const HeadlessApplication application(program);

    const QString& output = request.framesFolder.isEmpty() ? request.run.output : request.framesFolder;
    Recipe recipe;
    std::int64_t steps = request.run.steps.value_or(0);
    if (request.run.from.isEmpty()) {
        recipe = recipeForRequest(program, request.run);
    } else {
        QString error;
        std::optional<Recipe> read = readRecipeFile(request.run.from, program, error);
        if (!read) {
            say(QStringLiteral("Impossibile fare il video di «%1»: %2.").arg(request.run.from, error));
            return RenderNotWritten;
        }
        recipe = std::move(*read);
        steps = recipe.steps;
        if (request.settings.frames > steps) {
            say(QStringLiteral("«%1» ha %2 passi: non bastano per %3 fotogrammi; chiedetene di meno con --frames.")
                    .arg(request.run.from)
                    .arg(steps)
                    .arg(request.settings.frames));
            return RenderUsage;
        }
        if (!filmFits(request.settings.frames, steps)) {
            say(QStringLiteral("«%1» ha %2 passi: con %3 fotogrammi, fotogrammi per passi fa %4, oltre il limite "
                               "di %5; chiedete meno fotogrammi con --frames.")
                    .arg(request.run.from)
                    .arg(steps)
                    .arg(request.settings.frames)
                    .arg(QString::number(static_cast<double>(request.settings.frames) * static_cast<double>(steps),
                                         'g', 3))
                    .arg(MostFilmFrameSteps));
            return RenderUsage;
        }
    }

    VideoSettings settings = request.settings;
    if (!request.run.look)
        settings.look = recipe.look;
    if (!drawingFits(settings.scale, settings.look.supersample)) {
        say(QStringLiteral("«%1» è sovracampionata %2 volte: con --scale %3 il disegno supererebbe %4 volte la "
                           "finestra; usate una --scale più piccola.")
                .arg(request.run.from)
                .arg(settings.look.supersample)
                .arg(settings.scale)
                .arg(MostDrawingScale));
        return RenderUsage;
    }
    VideoEncoder encoder(request.run.output, settings.fps, recipe.background);
    FrameFolder folder(request.framesFolder);
    FrameSink& sink = request.framesFolder.isEmpty() ? static_cast<FrameSink&>(encoder) : folder;
    PercentLine percent;
    const VideoOutcome outcome =
        makeVideo(recipe, steps, settings, sink, [&percent](double share) { return percent.update(share); });
    switch (outcome.end) {
    case VideoOutcome::End::written:
        return RenderWritten;
    case VideoOutcome::End::cancelled:
        say(QStringLiteral("Il video è stato interrotto: nessun file è stato scritto in «%1».").arg(output));
        return RenderNotWritten;
    case VideoOutcome::End::fault:
        say(QStringLiteral("Overflow numerico al passo %1: il calcolo è stato interrotto. I fotogrammi seguenti "
                           "ripetono l'immagine fino a quel passo, in «%2».")
                .arg(outcome.faultStep)
                .arg(output));
        return RenderFault;
    case VideoOutcome::End::failed:
        break;
    }
    if (!request.framesFolder.isEmpty()) {
        say(QStringLiteral("Impossibile scrivere i fotogrammi in «%1»: %2.").arg(output, outcome.error));
        return RenderNotWritten;
    }
    const QString otherWay = request.framesFolder.isEmpty() && VideoEncoder::encoderProgram().isEmpty()
                                 ? QStringLiteral(" Senza ffmpeg, --frames-dir CARTELLA scrive i fotogrammi come "
                                                  "immagini PNG.")
                                 : QString();
    say(QStringLiteral("Impossibile scrivere «%1»: %2. Nessun video è stato scritto con quel nome.%3")
            .arg(output, outcome.error, otherWay));
    return RenderNotWritten;
}

}  // namespace vortiquo
