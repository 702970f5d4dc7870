#include "window/ExportJob.h"

#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>
#include <atomic>

#include "window/ToolHost.h"

namespace vortiquo {

namespace {

const QString Title = QStringLiteral("Esporta");

}  // namespace

// What the job and its worker share; the last of the two to let go frees it.
struct ExportShared {
    ExportShared(const Program& program, const Recipe& recipe, bool video, const VideoSettings& settings,
                 const QString& path)
        : task(program, recipe, video, settings, path)
    {
    }

    ExportTask task;
    std::atomic<bool> cancelled = false;
    std::atomic<int> permille = 0;
};

void ExportJob::start(ToolHost& host, const Recipe& recipe, bool video, const VideoSettings& settings,
                      const QString& path)
{
    new ExportJob(host, recipe, video, settings, path);
}

ExportJob::ExportJob(ToolHost& host, const Recipe& recipe, bool video, const VideoSettings& settings,
                     const QString& path)
    : QObject(&host.window()),
      shared_(std::make_shared<ExportShared>(host.program(), recipe, video, settings, path)),
      progress_(new QProgressDialog(QStringLiteral("Esportazione di «%1»…").arg(path), QStringLiteral("Annulla"), 0,
                                    1000, &host.window())),
      poll_(new QTimer(this))
{
    // The window goes on while the export runs.
    progress_->setWindowModality(Qt::NonModal);
    progress_->setMinimumDuration(0);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setObjectName(QStringLiteral("esportazione"));
    connect(progress_, &QProgressDialog::canceled, this, &ExportJob::cancel);
    connect(poll_, &QTimer::timeout, this, [this] { progress_->setValue(shared_->permille); });
    poll_->start(100);
    connect(&watcher_, &QFutureWatcher<ExportResult>::finished, this, &ExportJob::finished);
    watcher_.setFuture(QtConcurrent::run([shared = shared_] {
        return runExport(shared->task, [&shared](double share) {
            shared->permille = static_cast<int>(share * 1000);
            return !shared->cancelled;
        });
    }));
}

ExportJob::~ExportJob()
{
    // A window closed during an export does not wait for its worker: told
    // to stop, it ends on its own and writes nothing.
    shared_->cancelled = true;
    delete progress_;
}

void ExportJob::cancel()
{
    shared_->cancelled = true;
    poll_->stop();
    progress_->hide();
}

void ExportJob::finished()
{
    poll_->stop();
    progress_->hide();
    const ExportResult result = watcher_.result();
    if (result.end == ExportResult::End::failed && !shared_->cancelled) {
        // Not modal: a run going on in the window carries on under it.
        auto* box = new QMessageBox(QMessageBox::Warning, Title,
                                    QStringLiteral("Impossibile esportare «%1»: %2.\n\nNessun file è stato scritto "
                                                   "con quel nome.")
                                        .arg(shared_->task.path, result.error),
                                    QMessageBox::Ok, progress_->parentWidget());
        box->setObjectName(QStringLiteral("esportazioneFallita"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    }
    deleteLater();
}

}  // namespace vortiquo
