#include "engine/VideoExport.h"

#include <algorithm>
#include <charconv>

#include "core/FieldRules.h"
#include "picture/DensityPicture.h"
#include "engine/FrameSink.h"
#include "picture/Redraw.h"

namespace vortiquo {

namespace {

// How often a replay stops to report, and to hear of a cancel.
constexpr std::int64_t ReportEvery = 1 << 16;

bool isAngleField(const JournalEntry& entry)
{
    return entry.kind == JournalEntry::Kind::field && (entry.field == Field::num || entry.field == Field::den);
}

void setAngleTexts(FieldTexts& texts, const std::string& numerator)
{
    if (texts[static_cast<std::size_t>(Field::num)])
        texts[static_cast<std::size_t>(Field::num)] = numerator;
    if (texts[static_cast<std::size_t>(Field::den)])
        texts[static_cast<std::size_t>(Field::den)] = std::string(1, '1');
}

// Passes the points of a replay on until `last` are set, and calls `reached`
// each time the count of points set reaches the next frame's.
class FrameCanvas : public PointCanvas {
public:
    FrameCanvas(LookCanvas& inner, std::int64_t last) : inner_(inner), last_(last) {}

    std::function<void(std::int64_t)> reached;  // given the points set so far
    std::int64_t nextFrameAt = INT64_MAX;

    void setPoint(const PlotPoint& point) override
    {
        if (set_ == last_)
            return;
        inner_.setPoint(point);
        if (++set_ == nextFrameAt)
            reached(set_);
    }
    std::int64_t set() const { return set_; }

private:
    LookCanvas& inner_;
    std::int64_t last_;
    std::int64_t set_ = 0;
};

class VideoMaker {
public:
    VideoMaker(const Recipe& recipe, std::int64_t steps, const VideoSettings& settings, FrameSink& sink,
               const std::function<bool(double)>& progress)
        : recipe_(recipe), steps_(steps), settings_(settings), sink_(sink), progress_(progress)
    {
    }

    VideoOutcome make()
    {
        const QSize size = devicePixels(drawingAreaSize(*recipe_.program), settings_.scale);
        if (const QString error = sink_.begin(size); !error.isEmpty())
            return failed(error);
        if (settings_.turn)
            turning();
        else
            buildingUp();
        if (stopped())
            return outcome_;
        // The encoder's last work, and the name taken, can still be called off.
        const QString error = sink_.finish([this] { return report(1.0); });
        if (!stopped() && !error.isEmpty())
            return failed(error);
        return outcome_;
    }

private:
    VideoOutcome failed(const QString& error)
    {
        outcome_.end = VideoOutcome::End::failed;
        outcome_.error = error;
        return outcome_;
    }

    bool stopped() const
    {
        return outcome_.end == VideoOutcome::End::failed || outcome_.end == VideoOutcome::End::cancelled;
    }

    void deliver(const QImage& frame)
    {
        if (stopped())
            return;
        if (const QString error = sink_.add(frame); !error.isEmpty())
            failed(error);
    }

    bool report(double share)
    {
        if (progress_ && !stopped() && !progress_(std::clamp(share, 0.0, 1.0)))
            outcome_.end = VideoOutcome::End::cancelled;
        return !stopped();
    }

    // Takes the end of a replay; false when the video cannot go on.
    bool ended(const ReplayOutcome& replay)
    {
        if (stopped())
            return false;
        if (replay.end == ReplayOutcome::End::damaged) {
            failed(QStringLiteral("la ricetta è danneggiata (il giornale non torna)"));
            return false;
        }
        if (replay.end == ReplayOutcome::End::fault && outcome_.end != VideoOutcome::End::fault) {
            outcome_.end = VideoOutcome::End::fault;
            outcome_.faultStep = replay.faultStep;
        }
        return true;
    }

    // A replay's limits: its reports add `share` of the work to `before` as
    // its steps go to `stepsHere`, where it stops.
    ReplayLimits limits(double before, double share, std::int64_t stepsHere)
    {
        ReplayLimits limits;
        limits.maxSteps = steps_;
        limits.progressEvery = ReportEvery;
        limits.progress = [this, before, share, stepsHere](std::int64_t taken) {
            return taken < stepsHere &&
                   report(before + share * static_cast<double>(taken) / static_cast<double>(stepsHere));
        };
        return limits;
    }

    // One drawing that builds up, a frame taken each time it reaches the
    // steps of the next.
    void buildingUp()
    {
        LookCanvas drawing(*recipe_.program, settings_.scale, settings_.look, recipe_.background);
        FrameCanvas frames(drawing, steps_);
        std::int64_t next = 1;
        const auto aim = [&] {
            while (next <= settings_.frames && frameSteps(next, steps_, settings_.frames) == frames.set()) {
                deliver(drawing.picture());
                ++next;
            }
            frames.nextFrameAt = next <= settings_.frames ? frameSteps(next, steps_, settings_.frames) : INT64_MAX;
        };
        frames.reached = [&](std::int64_t) { aim(); };
        aim();
        const ReplayOutcome replay = replayJournal(*recipe_.program->model, recipe_.start, recipe_.entries, frames,
                                                   limits(0, 1, steps_ + 1));
        if (!ended(replay))
            return;
        // A run that ended early, on a fault, shows its last picture to the end.
        const QImage last = drawing.picture();
        for (; next <= settings_.frames && !stopped(); ++next)
            deliver(last);
    }

    // Every frame drawn afresh from its own angle: the points of the orbit
    // must be projected again, so each frame replays the journal up to its
    // steps, keeping nothing but the picture.
    void turning()
    {
        double total = 0, done = 0;
        for (std::int64_t frame = 1; frame <= settings_.frames; ++frame)
            total += static_cast<double>(frameSteps(frame, steps_, settings_.frames)) + 1;
        for (std::int64_t frame = 1; frame <= settings_.frames && !stopped(); ++frame) {
            const std::int64_t upTo = frameSteps(frame, steps_, settings_.frames);
            const Recipe turned = turnedRecipe(recipe_, turnNumerator(recipe_, frame, settings_.frames));
            LookCanvas drawing(*recipe_.program, settings_.scale, settings_.look, recipe_.background);
            FrameCanvas frames(drawing, upTo);
            const double share = static_cast<double>(upTo + 1) / total;
            // The replay stops at its first report at or past the frame's
            // steps; the points beyond them are not drawn.
            const ReplayOutcome replay = replayJournal(*recipe_.program->model, turned.start, turned.entries, frames,
                                                       limits(done / total, share, std::max<std::int64_t>(upTo, 1)));
            if (frames.set() < upTo && !ended(replay))
                return;
            deliver(drawing.picture());
            done += static_cast<double>(upTo + 1);
            report(done / total);
        }
    }

    const Recipe& recipe_;
    std::int64_t steps_;
    const VideoSettings& settings_;
    FrameSink& sink_;
    const std::function<bool(double)>& progress_;
    VideoOutcome outcome_;
};

}  // namespace

std::int64_t frameSteps(std::int64_t frame, std::int64_t steps, std::int64_t frames)
{
    // k·N may not fit 64 bits, so it is taken apart: N = q·F + r with r < F,
    // and round(k·N/F) = k·q + round(k·r/F), where k·q ≤ N and k·r < F².
    const std::int64_t whole = steps / frames, rest = steps % frames;
    return frame * whole + (2 * frame * rest + frames) / (2 * frames);
}

bool filmFits(std::int64_t frames, std::int64_t steps)
{
    return frames >= 1 && steps >= frames && frames <= MostFilmFrames && steps <= MostFilmFrameSteps / frames;
}

std::string turnNumerator(const Recipe& recipe, std::int64_t frame, std::int64_t frames)
{
    SimulationState view = recipe.start.state;
    for (const JournalEntry& entry : recipe.entries)
        if (isAngleField(entry))
            applyFieldText(view, entry.field, entry.text);
    const double start = view.alpha / AngleConstant;
    const double numerator = start + (2.0 * static_cast<double>(frame)) / static_cast<double>(frames);
    char text[40];
    const auto written = std::to_chars(text, text + sizeof text, numerator);
    return std::string(text, written.ptr);
}

Recipe turnedRecipe(const Recipe& recipe, const std::string& numerator)
{
    Recipe turned = recipe;
    // As typing the numerator into numT and then 1 into denT would.
    applyFieldText(turned.start.state, Field::num, numerator);
    applyFieldText(turned.start.state, Field::den, "1");
    setAngleTexts(turned.start.texts, numerator);
    std::erase_if(turned.entries, isAngleField);
    for (JournalEntry& entry : turned.entries)
        if (entry.kind == JournalEntry::Kind::via)
            setAngleTexts(entry.texts, numerator);
    return turned;
}

VideoOutcome makeVideo(const Recipe& recipe, std::int64_t steps, const VideoSettings& settings, FrameSink& sink,
                       const std::function<bool(double)>& progress)
{
    return VideoMaker(recipe, steps, settings, sink, progress).make();
}

}  // namespace vortiquo
