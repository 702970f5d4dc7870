#include "engine/FrameSink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <cerrno>

#include "picture/PictureFile.h"
#include "picture/WholeFile.h"

namespace vortiquo {

namespace {

// Why the folder cannot take this film's frames, or an empty string.
QString unusableFolder(const QString& folder)
{
    const QFileInfo info(folder);
    if (!nameFitsFileSystem(folder))
        return fileErrorReason(EILSEQ);
    if (!info.exists())
        return QFileInfo(info.absolutePath()).isDir() ? QString() : fileErrorReason(ENOENT);
    if (!info.isDir())
        return QStringLiteral("«%1» è un file, non una cartella; scegliete il nome di una cartella nuova").arg(folder);
    if (!QDir(folder).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        return QStringLiteral("la cartella non è vuota, e i suoi file si mescolerebbero ai fotogrammi; scegliete "
                              "una cartella nuova o vuota, o svuotatela");
    return {};
}

}  // namespace

QString FrameFolder::frameName(qint64 number)
{
    return QStringLiteral("frame-%1.png").arg(number, 5, 10, QLatin1Char('0'));
}

QString FrameFolder::begin(QSize)
{
    if (QString why = unusableFolder(folder_); !why.isEmpty())
        return why;
    QString error;
    partial_ = TemporaryPath::make(folder_, TemporaryPath::Kind::folder, error);
    return error;
}

QString FrameFolder::add(const QImage& frame)
{
    // The folder is new and hidden, and takes its name only whole, so each
    // frame goes straight to its own name in it.
    const QString name = frameName(++written_);
    QFile file(QDir(partial_->path()).filePath(name));
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return QStringLiteral("impossibile scrivere «%1»: %2").arg(name, fileErrorReason(errno));
    QImageWriter writer(&file, "png");
    errno = 0;
    const bool written = writer.write(frame) && file.flush();
    const int reason = errno;
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        partial_.reset();
        return QStringLiteral("impossibile scrivere «%1»: %2").arg(name, fileErrorReason(reason));
    }
    return {};
}

QString FrameFolder::finish(const std::function<bool()>& stillWanted)
{
    if (stillWanted && !stillWanted()) {
        partial_.reset();
        return WholeFile::abandonedText();
    }
    if (const QString error = partial_->keepAs(folder_); !error.isEmpty()) {
        partial_.reset();
        return error;
    }
    return {};
}

}  // namespace vortiquo
