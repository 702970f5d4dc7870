#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "picture/Density.h"
#include "core/Replay.h"
#include "picture/Recipe.h"

namespace vortiquo {

class FrameSink;

// How a video of a run is made: frame k of F shows the picture after
// frameSteps(k) steps, so the attractor builds up; with `turn` (the flows)
// the view angle also goes once round, and each frame shows the whole orbit
// so far seen from its own angle.
struct VideoSettings {
    std::int64_t frames = 300;
    int fps = 30;
    bool turn = false;
    int scale = 1;
    PictureLook look;
};

// The most frames a film has, and the most its frames times its steps come
// to: a turning film replays about half of that, and the rounding of
// frameSteps is exact within it.
inline constexpr std::int64_t MostFilmFrames = 100000;
inline constexpr std::int64_t MostFilmFrameSteps = MostFilmFrames * INT32_MAX;

// round(k·N/F), halves up, in whole numbers, exact for 0 ≤ k ≤ F ≤
// MostFilmFrames and any N ≥ 0.
std::int64_t frameSteps(std::int64_t frame, std::int64_t steps, std::int64_t frames);
// Whether a film of `frames` frames over `steps` steps keeps the bounds: at
// least a step a frame, at most MostFilmFrames, and frames × steps at most
// MostFilmFrameSteps.
bool filmFits(std::int64_t frames, std::int64_t steps);

// The numerator text t of the view angle of frame k of a turning video, whose
// denominator is "1": α = t·π, t = α0/π + 2k/F, with α0 the angle at the end
// of the recipe's journal. It reads back to the same double, so typing t into
// numT and 1 into denT gives exactly the frame's view.
std::string turnNumerator(const Recipe& recipe, std::int64_t frame, std::int64_t frames);
// The recipe seen from the angle numerator/1 throughout: the journal's own
// edits of the angle are left out.
Recipe turnedRecipe(const Recipe& recipe, const std::string& numerator);

struct VideoOutcome {
    enum class End { written, fault, cancelled, failed };
    End end = End::written;
    QString error;               // failed: why, in Italian
    std::int64_t faultStep = 0;  // fault: the step of its run that failed; later frames repeat the last
};

// Makes the video of `recipe`, whose journal takes `steps` steps in all, into
// `sink`. `progress` gets the share done, 0 to 1, and returns false to cancel.
VideoOutcome makeVideo(const Recipe& recipe, std::int64_t steps, const VideoSettings& settings, FrameSink& sink,
                       const std::function<bool(double)>& progress = {});

}  // namespace vortiquo
