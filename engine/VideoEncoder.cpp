#include "engine/FrameSink.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "picture/WholeFile.h"

namespace vortiquo {

namespace {

// What ffmpeg said last, enough to name its trouble.
constexpr qsizetype KeptErrorBytes = 2000;

}  // namespace

VideoEncoder::VideoEncoder(QString path, int fps, QColor background)
    : path_(std::move(path)), fps_(fps), background_(background)
{
}

VideoEncoder::~VideoEncoder()
{
    // The encoder goes before its file, so that it writes nothing after.
    stopEncoder();
}

QString VideoEncoder::encoderProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
}

void VideoEncoder::stopEncoder()
{
    if (encoder_.state() != QProcess::NotRunning) {
        encoder_.kill();
        encoder_.waitForFinished(5000);
    }
    if (partial_)
        partial_->writerEnded();
}

QString VideoEncoder::begin(QSize size)
{
    size_ = size;
    const QString program = encoderProgram();
    if (program.isEmpty())
        return QStringLiteral("il programma ffmpeg, che codifica i video, non si trova: installatelo "
                              "(apt install ffmpeg)");
    QString error;
    partial_ = TemporaryPath::make(path_, TemporaryPath::Kind::file, error);
    if (!partial_)
        return error;
    // H.264 in yuv420p halves the colour resolution, so both sides must be even.
    const int evenWidth = size.width() + size.width() % 2, evenHeight = size.height() + size.height() % 2;
    const QStringList arguments = {
        "-hide_banner", "-loglevel", "error", "-nostats",
        "-f", "rawvideo", "-pixel_format", "rgb24",
        "-video_size", QStringLiteral("%1x%2").arg(size.width()).arg(size.height()),
        "-framerate", QString::number(fps_), "-i", "pipe:0",
        "-vf", QStringLiteral("pad=%1:%2:0:0:color=0x%3").arg(evenWidth).arg(evenHeight)
                   .arg(background_.name(QColor::HexRgb).mid(1)),
        "-c:v", "libx264", "-preset", "veryfast", "-crf", "18", "-pix_fmt", "yuv420p",
        "-movflags", "+faststart", "-f", "mp4", "-y", partial_->path(),
    };
    if (!partial_->startWriter(encoder_, program, arguments) || !encoder_.waitForStarted(30000))
        return failure(QStringLiteral("ffmpeg non è partito"));
    return {};
}

void VideoEncoder::keepErrors()
{
    errors_ += encoder_.readAllStandardError();
    if (errors_.size() > KeptErrorBytes)
        errors_ = errors_.right(KeptErrorBytes);
}

QString VideoEncoder::failure(const QString& what)
{
    stopEncoder();
    keepErrors();
    partial_.reset();
    const QString said = QString::fromLocal8Bit(errors_).trimmed();
    return said.isEmpty() ? what : QStringLiteral("%1 (ffmpeg dice: «%2»)").arg(what, said.right(400));
}

QString VideoEncoder::add(const QImage& frame)
{
    const QImage rgb = frame.convertToFormat(QImage::Format_RGB888);
    const qsizetype rowBytes = qsizetype(rgb.width()) * 3;
    for (int row = 0; row < rgb.height(); ++row)
        encoder_.write(reinterpret_cast<const char*>(rgb.constScanLine(row)), rowBytes);
    // The encoder's messages are read while it is fed, so its pipe never
    // fills and stops it, and with it this writer.
    while (encoder_.bytesToWrite() > 0) {
        encoder_.waitForBytesWritten(1000);
        keepErrors();
        if (encoder_.state() == QProcess::NotRunning)
            return failure(QStringLiteral("ffmpeg si è fermato prima della fine del video"));
    }
    return {};
}

QString VideoEncoder::finish(const std::function<bool()>& stillWanted)
{
    encoder_.closeWriteChannel();
    // ffmpeg encodes the frames it still holds; a change of mind meanwhile
    // stops it and leaves nothing.
    while (!encoder_.waitForFinished(100) && encoder_.state() != QProcess::NotRunning) {
        keepErrors();
        if (stillWanted && !stillWanted()) {
            stopEncoder();
            partial_.reset();
            return WholeFile::abandonedText();
        }
    }
    keepErrors();
    partial_->writerEnded();
    if (encoder_.exitStatus() != QProcess::NormalExit || encoder_.exitCode() != 0)
        return failure(QStringLiteral("ffmpeg non è riuscito a scrivere il video (stato di uscita %1)")
                           .arg(encoder_.exitCode()));
    if (stillWanted && !stillWanted()) {
        partial_.reset();
        return WholeFile::abandonedText();
    }
    if (const QString error = partial_->keepAs(path_); !error.isEmpty()) {
        partial_.reset();
        return QStringLiteral("impossibile dare al video il nome «%1»: %2").arg(path_, error);
    }
    return {};
}

}  // namespace vortiquo
