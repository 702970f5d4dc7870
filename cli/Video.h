#pragma once

#include <QString>
#include <optional>

#include "cli/Render.h"
#include "engine/VideoExport.h"

namespace vortiquo {

// What `PROGRAM --video OUT.mp4 ...` asks for, as the command line has
// checked it. The run is given as for --render: `run` holds --steps, --set,
// --option and --from, and its scale and look are the video's. With --from
// and no look asked for, the saved picture's look is the video's.
struct VideoRequest {
    RenderRequest run;
    VideoSettings settings;
    QString framesFolder;  // --frames-dir: PNG frames there instead of a video
};

// Makes the video, or the frames, with no window and no display; messages go
// to standard error in Italian. Returns a RenderStatus.
int makeVideoFile(const Program& program, const VideoRequest& request);

}  // namespace vortiquo
