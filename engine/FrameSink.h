#pragma once

#include <QColor>
#include <QImage>
#include <QProcess>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>

#include "engine/TemporaryPath.h"

namespace vortiquo {

// Where the frames of a video go, one by one, in order. Each call returns
// what went wrong, in Italian, or an empty string. Nothing is left under the
// final name unless finish() succeeds, and nothing at all otherwise: what
// was written goes to a hidden name first.
class FrameSink {
public:
    virtual ~FrameSink() = default;
    virtual QString begin(QSize size) = 0;
    virtual QString add(const QImage& frame) = 0;
    // `stillWanted` is asked while the last work is done and once more just
    // before the final name is taken; when it says no, nothing is written
    // and the answer is WholeFile::abandonedText().
    virtual QString finish(const std::function<bool()>& stillWanted) = 0;
};

// An H.264 video (yuv420p, so an odd width or height is padded by one pixel
// of the background) made by the ffmpeg program, fed raw RGB frames through
// a pipe. It writes to a hidden name in the destination's folder and renames
// it only once ffmpeg has ended well; a failed, abandoned or interrupted
// video leaves no file behind.
class VideoEncoder : public FrameSink {
public:
    VideoEncoder(QString path, int fps, QColor background);
    ~VideoEncoder() override;

    // The ffmpeg program on the PATH, or an empty string.
    static QString encoderProgram();

    QString begin(QSize size) override;
    QString add(const QImage& frame) override;
    QString finish(const std::function<bool()>& stillWanted) override;

private:
    QString failure(const QString& what);
    void stopEncoder();
    void keepErrors();

    QString path_;
    int fps_;
    QColor background_;
    QSize size_;
    QProcess encoder_;
    std::unique_ptr<TemporaryPath> partial_;
    QByteArray errors_;  // the tail of what ffmpeg said
};

// Numbered PNG files, frame-00001.png and on, in a folder that does not
// exist yet or is empty, so that it holds this film's frames and no other.
// They are written into a hidden folder beside it, which takes the folder's
// name once the last frame is in: a failed, abandoned or interrupted film
// leaves nothing.
class FrameFolder : public FrameSink {
public:
    explicit FrameFolder(QString folder) : folder_(std::move(folder)) {}

    // The file of frame `number`, from 1.
    static QString frameName(qint64 number);

    QString begin(QSize size) override;
    QString add(const QImage& frame) override;
    QString finish(const std::function<bool()>& stillWanted) override;

private:
    QString folder_;
    std::unique_ptr<TemporaryPath> partial_;
    qint64 written_ = 0;
};

}  // namespace vortiquo
