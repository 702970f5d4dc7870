#include "window/ExportJob.h"

#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include "picture/DensityPicture.h"
#include "engine/FrameSink.h"
#include "picture/PictureFile.h"
#include "picture/Redraw.h"
#include "window/ToolHost.h"

namespace vortiquo {

namespace {

const QString Title = QStringLiteral("Esporta");

}  // namespace

void ExportJob::start(ToolHost& host, const Recipe& recipe, bool video, const VideoSettings& settings,
                      const QString& path)
{
    new ExportJob(host, recipe, video, settings, path);
}

ExportJob::ExportJob(ToolHost& host, const Recipe& recipe, bool video, const VideoSettings& settings,
                     const QString& path)
    : QObject(&host.window()), program_(host.program()), recipe_(recipe), video_(video), settings_(settings),
      path_(path),
      progress_(new QProgressDialog(QStringLiteral("Esportazione di «%1»…").arg(path), QStringLiteral("Annulla"), 0,
                                    1000, &host.window())),
      poll_(new QTimer(this))
{
    recipe_.program = &program_;
    recipe_.scale = settings.scale;
    recipe_.look = settings.look;
    // The window goes on while the export runs.
    progress_->setWindowModality(Qt::NonModal);
    progress_->setMinimumDuration(0);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setObjectName(QStringLiteral("esportazione"));
    connect(progress_, &QProgressDialog::canceled, this, [this] { cancelled_ = true; });
    connect(poll_, &QTimer::timeout, this, [this] { progress_->setValue(permille_); });
    poll_->start(100);
    connect(&watcher_, &QFutureWatcher<QString>::finished, this, &ExportJob::finished);
    watcher_.setFuture(QtConcurrent::run([this] { return work(); }));
}

ExportJob::~ExportJob()
{
    // A window closed during an export waits for its worker, told to stop.
    cancelled_ = true;
    watcher_.waitForFinished();
    delete progress_;
}

bool ExportJob::keepGoing(double share)
{
    permille_ = static_cast<int>(share * 1000);
    return !cancelled_;
}

QString ExportJob::work()
{
    return video_ ? writeVideo() : writeImage();
}

QString ExportJob::writeImage()
{
    ReplayLimits limits;
    limits.progress = [this](std::int64_t steps) {
        return keepGoing(static_cast<double>(steps) / static_cast<double>(std::max<std::int64_t>(recipe_.steps, 1)));
    };
    limits.progressEvery = 1 << 18;
    LookedPicture looked = drawLooked(recipe_, settings_.scale, settings_.look, limits, true);
    if (cancelled_)
        return {};
    if (!looked.whole)
        return brokenJournalReason();
    const FieldTexts texts = textsAfter(recipe_.start.texts, recipe_.entries);
    // A recipe too long to read back is left out by writePicture itself.
    return writePicture(path_, std::move(looked.picture), program_, texts, recipe_.steps, recipeToJson(recipe_));
}

QString ExportJob::writeVideo()
{
    VideoEncoder encoder(path_, settings_.fps, recipe_.background);
    const VideoOutcome outcome =
        makeVideo(recipe_, recipe_.steps, settings_, encoder, [this](double share) { return keepGoing(share); });
    return outcome.end == VideoOutcome::End::failed ? outcome.error : QString();
}

void ExportJob::finished()
{
    poll_->stop();
    progress_->hide();
    const QString error = watcher_.result();
    if (!error.isEmpty() && !cancelled_) {
        // Not modal: a run going on in the window carries on under it.
        auto* box = new QMessageBox(QMessageBox::Warning, Title,
                                    QStringLiteral("Impossibile esportare «%1»: %2.\n\nNessun file è stato scritto "
                                                   "con quel nome.")
                                        .arg(path_, error),
                                    QMessageBox::Ok, progress_->parentWidget());
        box->setObjectName(QStringLiteral("esportazioneFallita"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    }
    deleteLater();
}

}  // namespace vortiquo
