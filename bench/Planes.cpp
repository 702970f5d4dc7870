#include "bench/Planes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>

#include "analysis/ParameterSweep.h"
#include "analysis/PlaneKernels.h"
#include "apps/Programs.h"
#include "bench/PlaneLoop.h"
#include "bench/Renders.h"
#include "picture/SweepRecipe.h"
#include "cli/EditedSession.h"

namespace vortiquo {

namespace {

constexpr double TargetPerCore = 3.0;       // the plane in lanes, against the plain loop
constexpr double TargetFlowSeconds = 30.0;  // the convection flow's 256×256 plane at Δt = 0.001, 2 threads

// One plane the benchmark computes: the program, its command line, and the
// plain loop's row for the same pixels.
struct PlaneCase {
    const char* program;
    int side;
    FieldEdits edits;
    double transient, measured;  // in steps for a map, in units of time for a flow
    void (*plainRow)(const PlainPlane& plane, int row, double* values);
    int tiles;  // the plain loop computes the middle one of so many bands of rows
};

std::vector<PlaneCase> casesFor(const Options& options)
{
    if (options.smoke)
        return {{"DrumbelW7", 64, {}, 600, 2000, plainQuadraticRow, 1},
                {"BrisutaW7", 32, {{Field::dt, "0.002"}}, 2, 5, plainConvectionRow, 4}};
    return {{"DrumbelW7", 256, {}, 600, 2000, plainQuadraticRow, 1},
            {"BrisutaW7", 256, {{Field::dt, "0.001"}}, 20, 100, plainConvectionRow, 16}};
}

// --transient and --iterations (a map) or --duration (a flow).
QStringList durationArguments(const PlaneCase& planeCase, bool timed)
{
    return {QStringLiteral("--transient"), QString::number(planeCase.transient),
            timed ? QStringLiteral("--duration") : QStringLiteral("--iterations"), QString::number(planeCase.measured)};
}

QStringList setArguments(const FieldEdits& edits)
{
    QStringList arguments;
    for (const auto& [field, text] : edits)
        arguments << QStringLiteral("--set")
                  << QString::fromLatin1(fieldName(field).data(), static_cast<qsizetype>(fieldName(field).size())) +
                         QLatin1Char('=') + text;
    return arguments;
}

// The plane the program computes, as the plain loop takes it.
PlainPlane plainPlaneOf(const PlaneRequest& request)
{
    PlainPlane plane;
    plane.p0 = request.p0;
    plane.p1 = request.p1;
    plane.q0 = request.q0;
    plane.q1 = request.q1;
    plane.width = request.width;
    plane.height = request.height;
    plane.x = request.base.x;
    plane.y = request.base.y;
    plane.z = request.base.z;
    plane.a = request.base.a;
    plane.b = request.base.b;
    plane.c = request.base.c;
    plane.dt = request.base.dt;
    plane.transient = request.transient;
    plane.measured = request.measured;
    return plane;
}

// The exponents of a --values file, row by row from the top: NaN for an
// empty field; none when the file cannot be read.
std::vector<double> readValues(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    std::vector<double> values;
    file.readLine();  // the header
    while (!file.atEnd()) {
        const QByteArray exponent = file.readLine().trimmed().split(',').value(2);
        values.push_back(exponent.isEmpty() ? std::numeric_limits<double>::quiet_NaN()
                                            : std::strtod(exponent.constData(), nullptr));
    }
    return values;
}

bool sameBits(double first, double second)
{
    return (std::isnan(first) && std::isnan(second)) ||
           std::bit_cast<std::uint64_t>(first) == std::bit_cast<std::uint64_t>(second);
}

PlaneFigures measureCase(const PlaneCase& planeCase, const QTemporaryDir& folder)
{
    const Program& program = programNamed(planeCase.program);
    const Session session = editedSession(program, planeCase.edits);
    const SimulationState start = fieldStart(session.state(), session.texts());
    const Dynamics& dynamics = *dynamicsOf(*program.model);
    PlaneRequest request = *defaultPlane(*program.model, start, planeCase.side, planeCase.side);
    request.transient = stepsFor(dynamics, start, planeCase.transient);
    request.measured = stepsFor(dynamics, start, planeCase.measured);
    const QStringList settings = setArguments(planeCase.edits) + durationArguments(planeCase, dynamics.timed);
    PlaneFigures figures;
    figures.program = QString::fromLatin1(planeCase.program);
    figures.settings = settings.join(QLatin1Char(' '));
    figures.width = request.width;
    figures.height = request.height;
    const QString binary = QDir(QStringLiteral(VORTIQUO_APPS_DIR)).filePath(figures.program);
    const QStringList plane = QStringList{QStringLiteral("--size"), QStringLiteral("%1x%1").arg(planeCase.side)} +
                              settings;
    QByteArray files[2];
    for (int run = 0; run < 2; ++run) {
        const QString picture = folder.filePath(QStringLiteral("plane-%1.png").arg(run + 1));
        const QStringList threads{QStringLiteral("--threads"), QString::number(run + 1)};
        figures.runs[run] = runProcess(binary, QStringList{QStringLiteral("--plane"), picture} + plane + threads);
        QFile file(picture);
        if (file.open(QIODevice::ReadOnly))
            files[run] = file.readAll();
    }
    figures.sameFiles = !files[0].isEmpty() && files[0] == files[1];
    // The middle tile's values, written by a run of its own so that the
    // timed runs write no text.
    const int tile = planeCase.tiles / 2 + 1;
    const QString values = folder.filePath(QStringLiteral("values.csv"));
    const QStringList check{QStringLiteral("--plane"), folder.filePath(QStringLiteral("tile.png")),
                            QStringLiteral("--tile"), QStringLiteral("%1/%2").arg(tile).arg(planeCase.tiles),
                            QStringLiteral("--values"), values};
    const bool checked = runProcess(binary, check + plane).exitedWell;
    const std::vector<double> programValues = checked ? readValues(values) : std::vector<double>{};
    const PlainPlane plain = plainPlaneOf(request);
    const Band band = bandOf(tile, planeCase.tiles, plain.height);
    std::vector<double> row(static_cast<std::size_t>(plain.width));
    for (int index = band.first; index < band.end; ++index) {
        Stopwatch watch;
        planeCase.plainRow(plain, index, row.data());
        watch.stop();
        figures.plainCpuSeconds += watch.cpuSeconds;
        ++figures.sampledRows;
        for (int column = 0; column < plain.width; ++column) {
            const std::size_t at = static_cast<std::size_t>(index - band.first) * plain.width + column;
            figures.differing += at >= programValues.size() || !sameBits(row[column], programValues[at]) ? 1 : 0;
            figures.escaped += std::isnan(row[column]) ? 1 : 0;
            ++figures.compared;
        }
    }
    return figures;
}

}  // namespace

double PlaneFigures::perCore(int run) const
{
    const double plainWhole = plainCpuSeconds * height / std::max(sampledRows, 1);
    return runs[run].cpuSeconds > 0 ? plainWhole / runs[run].cpuSeconds : 0;
}

std::vector<PlaneFigures> measurePlanes(const Options& options)
{
    QTemporaryDir folder;
    std::vector<PlaneFigures> planes;
    for (const PlaneCase& planeCase : casesFor(options))
        planes.push_back(measureCase(planeCase, folder));
    return planes;
}

bool printPlanes(const std::vector<PlaneFigures>& planes, const Options& options)
{
    const char* unjudged = "(not judged)";
    std::printf("\nParameter plane, --plane as a whole process on 1 and 2 threads (%s lanes), against the plain\n"
                " loop on one thread of this process (for a flow, on a band of rows, scaled to the plane)\n",
                planePathName(fastestPlanePath()));
    bool completed = true;
    for (const PlaneFigures& p : planes) {
        std::printf("  %s %dx%d %s\n", qPrintable(p.program), p.width, p.height, qPrintable(p.settings));
        std::printf("    plain loop %d rows: %.2f cpu-s (%.2f for the plane)\n", p.sampledRows, p.plainCpuSeconds,
                    p.plainCpuSeconds * p.height / std::max(p.sampledRows, 1));
        for (int run = 0; run < 2; ++run)
            std::printf("    %d thread%s: %6.2f s wall %6.2f cpu-s  %.2fx the plain loop per core  >= %.1fx %s\n",
                        run + 1, run == 0 ? " " : "s", p.runs[run].wallSeconds, p.runs[run].cpuSeconds,
                        p.perCore(run), TargetPerCore,
                        options.smoke ? unjudged : p.perCore(run) >= TargetPerCore ? "met" : "MISSED");
        if (p.program == QLatin1String("BrisutaW7"))
            std::printf("    2 threads within %.0f s: %s\n", TargetFlowSeconds,
                        options.smoke ? unjudged : p.runs[1].wallSeconds <= TargetFlowSeconds ? "met" : "MISSED");
        std::printf("    the plain loop's %d pixels (%d escaped) against the program's values: %d differ; "
                    "1 and 2 threads %s\n",
                    p.compared, p.escaped, p.differing, p.sameFiles ? "same bytes" : "DIFFER");
        completed = completed && p.runs[0].exitedWell && p.runs[1].exitedWell && p.sameFiles && p.differing == 0;
    }
    std::fflush(stdout);
    return completed;
}

}  // namespace vortiquo
