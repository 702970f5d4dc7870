#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <atomic>

#include "picture/Recipe.h"
#include "engine/VideoExport.h"

class QProgressDialog;
class QTimer;

namespace vortiquo {

class ToolHost;

// One export under way: the window's recipe as it stood, made into a
// picture or a video on a worker thread, with a progress dialog that can
// cancel it. The window stays free meanwhile; a cancelled or failed export
// writes nothing. It deletes itself when done.
class ExportJob : public QObject {
    Q_OBJECT
public:
    static void start(ToolHost& host, const Recipe& recipe, bool video, const VideoSettings& settings,
                      const QString& path);
    ~ExportJob() override;

private:
    ExportJob(ToolHost& host, const Recipe& recipe, bool video, const VideoSettings& settings, const QString& path);
    // Runs on the worker: the error, in Italian, or an empty string.
    QString work();
    QString writeImage();
    QString writeVideo();
    bool keepGoing(double share);
    void finished();

    Program program_;  // a copy: the worker never reaches into the window
    Recipe recipe_;
    bool video_;
    VideoSettings settings_;
    QString path_;
    std::atomic<bool> cancelled_ = false;
    std::atomic<int> permille_ = 0;
    QProgressDialog* progress_;
    QTimer* poll_;
    QFutureWatcher<QString> watcher_;
};

}  // namespace vortiquo
