#pragma once

#include <QString>
#include <functional>

#include "engine/VideoExport.h"
#include "picture/Recipe.h"

namespace vortiquo {

// Everything an export needs, copied from the window when it starts, so that
// the worker that makes it never reaches into the window, nor into the job
// that shows its progress: the window may close, and the job go, meanwhile.
struct ExportTask {
    ExportTask(const Program& shown, const Recipe& drawn, bool asVideo, const VideoSettings& chosen,
               const QString& file);
    ExportTask(const ExportTask&) = delete;
    ExportTask& operator=(const ExportTask&) = delete;

    Program program;  // a copy, which the recipe names
    Recipe recipe;
    bool video;
    VideoSettings settings;
    QString path;
};

struct ExportResult {
    enum class End { written, cancelled, failed };
    End end = End::written;
    QString error;  // failed: why, in Italian
};

// Makes the picture or the video on the calling thread. `keepGoing` gets the
// share done, 0 to 1, and returns false to call the export off; it is asked
// again, at 1, while the video's encoder finishes and just before the file
// takes its name. A called-off export writes nothing at all.
ExportResult runExport(const ExportTask& task, const std::function<bool(double)>& keepGoing);

}  // namespace vortiquo
