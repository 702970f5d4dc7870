#include "engine/FrameSink.h"

#include <QDir>
#include <QImageWriter>
#include <QSaveFile>

namespace vortiquo {

QString FrameFolder::frameName(qint64 number)
{
    return QStringLiteral("frame-%1.png").arg(number, 5, 10, QLatin1Char('0'));
}

QString FrameFolder::begin(QSize)
{
    if (!QDir().mkpath(folder_))
        return QStringLiteral("impossibile creare la cartella «%1»").arg(folder_);
    return {};
}

QString FrameFolder::add(const QImage& frame)
{
    const QString path = QDir(folder_).filePath(frameName(++written_));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("impossibile scrivere «%1»: %2").arg(path, file.errorString());
    QImageWriter writer(&file, "png");
    if (!writer.write(frame) || !file.commit())
        return QStringLiteral("impossibile scrivere «%1»: %2").arg(path, file.errorString());
    return {};
}

}  // namespace vortiquo
