#include "bench/Renders.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "apps/Programs.h"
#include "bench/InlinedLoop.h"
#include "cli/Render.h"
#include "core/Raster.h"
#include "picture/Redraw.h"

extern char** environ;

namespace vortiquo {

namespace {

double cpuSecondsOf(const rusage& usage)
{
    const auto inSeconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    return inSeconds(usage.ru_utime) + inSeconds(usage.ru_stime);
}

QString binaryOf(const Program& program)
{
    return QDir(QStringLiteral(VORTIQUO_APPS_DIR)).filePath(QString::fromLatin1(program.name));
}

// The window's state as a run starts from it: loaded, then "Via".
SimulationState startOfRun(const Program& program)
{
    FieldTexts texts = designTexts(*program.layout);
    SimulationState state = loadedState(texts, loadFacts(program));
    resetToStart(*program.model, state);
    return state;
}

// The points of the program's drawing area at one device pixel to a logical
// one, none drawn yet.
QImage emptyPoints(const Program& program)
{
    QImage points(drawingAreaSize(program), QImage::Format_ARGB32_Premultiplied);
    points.fill(Qt::transparent);
    return points;
}

InlinedPicture inlinedPicture(QImage& points)
{
    return {reinterpret_cast<std::uint32_t*>(points.bits()), points.bytesPerLine() / 4, points.width(),
            points.height()};
}

Raster rasterOf(QImage& points)
{
    Raster raster;
    raster.grid = {1, static_cast<double>(points.width()), static_cast<double>(points.height())};
    raster.pixels = reinterpret_cast<std::uint32_t*>(points.bits());
    raster.pixelsPerRow = points.bytesPerLine() / 4;
    return raster;
}

// Whether the inlined loop ends where the render's own loop ends, with the
// same pixels.
bool ceilingDrawsTheRender(const Program& program, std::int64_t steps)
{
    const SimulationState start = startOfRun(program);
    QImage inlined = emptyPoints(program), rendered = emptyPoints(program);
    const std::int64_t inlinedSteps = inlinedConvectionRun(start, inlinedPicture(inlined), steps);
    SimulationState state = start;
    Raster raster = rasterOf(rendered);
    const std::int64_t renderedSteps = program.model->advanceBatch(state, raster, steps);
    return inlinedSteps == renderedSteps && inlined == rendered;
}

}  // namespace

ProcessFigures runProcess(const QString& program, const QStringList& arguments)
{
    std::vector<std::string> words{program.toStdString()};
    for (const QString& argument : arguments)
        words.push_back(argument.toStdString());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    ProcessFigures figures;
    const Clock::time_point started = Clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return figures;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child)
        return figures;
    figures.wallSeconds = seconds(Clock::now() - started);
    figures.cpuSeconds = cpuSecondsOf(usage);
    figures.peakBytes = static_cast<double>(usage.ru_maxrss) * 1024.0;  // reported in KiB
    figures.exitedWell = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return figures;
}

RenderFigures measureRender(std::int64_t steps, int rounds)
{
    const Program& program = programNamed("BrisutaW7");
    RenderFigures figures;
    figures.steps = steps;
    figures.ceilingDrawsTheRender = ceilingDrawsTheRender(program, std::min<std::int64_t>(steps, 2'000'000));
    const SimulationState start = startOfRun(program);
    QImage points = emptyPoints(program);
    QTemporaryDir folder;
    const QStringList arguments{QStringLiteral("--render"), folder.filePath(QStringLiteral("render.png")),
                                QStringLiteral("--steps"), QString::number(steps)};
    const auto count = static_cast<double>(steps);
    for (int round = 0; round < rounds; ++round) {
        points.fill(Qt::transparent);
        Stopwatch watch;
        const std::int64_t drawn = inlinedConvectionRun(start, inlinedPicture(points), steps);
        watch.stop();
        const Rate ceiling = rateOf(static_cast<double>(drawn), watch);
        figures.ceiling.push_back(ceiling);
        const ProcessFigures render = runProcess(binaryOf(program), arguments);
        if (!render.exitedWell)
            continue;
        const Rate rendered{count / render.wallSeconds, count / render.cpuSeconds};
        figures.render.push_back(rendered);
        figures.wallRatios.push_back(rendered.wall / ceiling.wall);
        figures.cpuRatios.push_back(rendered.cpu / ceiling.cpu);
    }
    return figures;
}

Rate headlessRun(const Program& program, std::int64_t steps)
{
    RenderRequest request;
    request.steps = steps;
    const Recipe recipe = recipeForRequest(program, request);
    Stopwatch watch;
    const Redrawn redrawn = redraw(program, recipe.start, recipe.entries, 1);
    watch.stop();
    return rateOf(static_cast<double>(redrawn.outcome.steps), watch);
}

std::vector<MemoryFigures> measureRenderMemory(std::int64_t steps, int scale)
{
    std::vector<MemoryFigures> results;
    QTemporaryDir folder;
    for (const Program& program : allPrograms()) {
        MemoryFigures figures;
        figures.program = QString::fromLatin1(program.name);
        figures.scale = scale;
        const QSize pixels = devicePixels(drawingAreaSize(program), scale);
        figures.width = pixels.width();
        figures.height = pixels.height();
        figures.pictureBytes = 4.0 * pixels.width() * pixels.height();
        const ProcessFigures render =
            runProcess(binaryOf(program), {QStringLiteral("--render"), folder.filePath(QStringLiteral("large.png")),
                                           QStringLiteral("--steps"), QString::number(steps),
                                           QStringLiteral("--scale"), QString::number(scale)});
        if (render.exitedWell)
            figures.peakBytes = render.peakBytes;
        results.push_back(figures);
    }
    return results;
}

}  // namespace vortiquo
