#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <memory>

#include "engine/VideoExport.h"
#include "window/ExportTask.h"

class QProgressDialog;
class QTimer;

namespace vortiquo {

class ToolHost;
struct ExportShared;

// One export under way: the window's recipe as it stood, made into a
// picture or a video on a worker thread, with a progress dialog that can
// cancel it. The window stays free meanwhile; a cancelled or failed export
// writes nothing. It deletes itself when done. Cancelled, or gone with its
// window, it leaves the worker to end in the background and drops its
// result: the worker holds the state it shares with the job, never the job.
class ExportJob : public QObject {
    Q_OBJECT
public:
    static void start(ToolHost& host, const Recipe& recipe, bool video, const VideoSettings& settings,
                      const QString& path);
    ~ExportJob() override;

private:
    ExportJob(ToolHost& host, const Recipe& recipe, bool video, const VideoSettings& settings, const QString& path);
    void cancel();
    void finished();

    std::shared_ptr<ExportShared> shared_;
    QProgressDialog* progress_;
    QTimer* poll_;
    QFutureWatcher<ExportResult> watcher_;
};

}  // namespace vortiquo
