// --video: a film of the run, the attractor building up (and, for the flows,
// turning), made with no window and no display.
#include <QCommandLineParser>
#include <limits>
#include <memory>

#include "cli/CommandLine.h"
#include "cli/CommandModes.h"
#include "cli/CommandReaders.h"
#include "cli/LookOptions.h"
#include "cli/Video.h"

namespace vortiquo {

namespace {

constexpr qint64 MostVideoSteps = std::numeric_limits<std::int32_t>::max();

// Only a window with a view angle can turn it.
bool hasViewAngle(const Program& program)
{
    return designTexts(*program.layout)[static_cast<std::size_t>(Field::num)].has_value();
}

QString readVideoSettings(const QCommandLineParser& parser, const Program& program, VideoRequest& request)
{
    VideoSettings& settings = request.settings;
    QStringList errors;
    if (parser.isSet("frames")) {
        qint64 frames = 300;
        errors << readWhole("frames", parser.value("frames"), 1, MostFilmFrames, frames);
        settings.frames = frames;
    }
    if (parser.isSet("fps")) {
        qint64 fps = 30;
        errors << readWhole("fps", parser.value("fps"), 1, 120, fps);
        settings.fps = int(fps);
    }
    if (parser.isSet("scale")) {
        qint64 scale = 1;
        errors << readWhole("scale", parser.value("scale"), 1, 16, scale);
        settings.scale = int(scale);
    }
    settings.turn = parser.isSet("turn");
    if (settings.turn && !hasViewAngle(program))
        errors << QString("--turn gira l'angolo di vista, che %1 non ha: vale solo per i flussi").arg(program.name);
    errors << readLook(parser, settings.scale, request.run.look);
    settings.look = request.run.look.value_or(PictureLook{});
    if (parser.isSet("frames-dir")) {
        request.framesFolder = parser.value("frames-dir");
        if (request.framesFolder.isEmpty())
            errors << "--frames-dir vuole il nome di una cartella";
    }
    return firstError(errors);
}

QString readVideo(const QCommandLineParser& parser, const Program& program, CommandLine& command)
{
    auto request = std::make_shared<VideoRequest>();
    RenderRequest& run = request->run;
    run.output = parser.value("video");
    run.from = parser.value("from");
    if (run.output.isEmpty())
        return "--video vuole il nome del file da scrivere, per esempio --video film.mp4";
    const bool ownRecipe = parser.isSet("steps") || parser.isSet("set") || parser.isSet("option");
    if (parser.isSet("from") && ownRecipe)
        return "--from non si unisce a --steps, --set o --option: la ricetta è già nell'immagine salvata";
    if (parser.isSet("from") && run.from.isEmpty())
        return "--from vuole il nome di un'immagine salvata dal programma";
    if (!parser.isSet("from") && !parser.isSet("steps"))
        return "--video vuole --steps N oppure --from SALVATA.png";
    QStringList errors;
    if (parser.isSet("steps")) {
        qint64 steps = 0;
        errors << readWhole("steps", parser.value("steps"), 1, MostVideoSteps, steps);
        run.steps = steps;
    }
    for (const QString& edit : parser.values("set"))
        errors << readEdit(edit, program, run.edits);
    for (const QString& option : parser.values("option"))
        errors << readOption(option, run.options);
    errors << readVideoSettings(parser, program, *request);
    if (const QString error = firstError(errors); !error.isEmpty())
        return error;
    if (run.steps && request->settings.frames > *run.steps)
        return QString("--frames %1 supera i passi (%2): ogni fotogramma vuole almeno un passo")
            .arg(request->settings.frames)
            .arg(*run.steps);
    run.scale = request->settings.scale;
    command.action = CommandLine::Action::Task;
    command.task = [request, &program]() { return makeVideoFile(program, *request); };
    return {};
}

constexpr const char* VideoAccepts[] = {"steps", "set",     "option", "scale",       "from",      "frames",
                                        "fps",   "turn",    "density", "tone",       "supersample", "frames-dir"};

}  // namespace

const CommandMode VideoMode = {
    "video",
    "OUT.mp4",
    VideoAccepts,
    readVideo,
    R"(  --video FILE.mp4        un film della corsa, senza finestra: il fotogramma
                          k di F mostra l'immagine dopo round(k·N/F) passi, e
                          l'attrattore si forma. Vuole --steps N (o --from) e
                          il programma ffmpeg (apt install ffmpeg). Vale
                          con --set, --option, --scale, --density, --tone,
                          --supersample. Fino alla fine il film ha un nome
                          nascosto: un errore, Ctrl+C o un kill non lasciano
                          nulla (stato 130 per Ctrl+C, 143 per un kill)
  --frames F              con --video: F fotogrammi (da 1 a 100000, al più
                          N; 300 se non data); F per N fa al più
                          214748364700000
  --fps R                 con --video: R fotogrammi al secondo (da 1 a 120;
                          30 se non data)
  --turn                  con --video, solo per i flussi: anche l'angolo di
                          vista fa un giro, α = α0 + 2πk/F; il fotogramma k
                          è --render con gli stessi passi e --set numT=t
                          --set denT=1, t = α0/π + 2k/F
  --frames-dir CARTELLA   con --video: scrive i fotogrammi come immagini PNG
                          (frame-00001.png, ...) in CARTELLA, al posto del
                          video; non serve ffmpeg. CARTELLA deve essere nuova
                          o vuota; prende i fotogrammi tutti insieme alla
                          fine, e un film fallito o interrotto non lascia
                          nulla
)",
};

}  // namespace vortiquo
