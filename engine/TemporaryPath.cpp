#include "engine/TemporaryPath.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "picture/PictureFile.h"

namespace vortiquo {

namespace {

// Tries before giving up on names already taken.
constexpr int NameTries = 100;

QString randomSuffix()
{
    static constexpr char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix;
    for (int letter = 0; letter < 6; ++letter)
        suffix += QLatin1Char(Letters[QRandomGenerator::global()->bounded(int(sizeof Letters) - 1)]);
    return suffix;
}

// Creates the file or folder, which must not exist yet; errno when it cannot.
bool create(const QByteArray& path, CleanupSlot::Kind kind)
{
    if (kind == CleanupSlot::Kind::folder)
        return ::mkdir(path.constData(), 0777) == 0;
    const int file = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (file < 0)
        return false;
    ::close(file);
    return true;
}

}  // namespace

TemporaryPath::TemporaryPath(QString path, Kind kind) : path_(std::move(path)), kind_(kind) {}

std::unique_ptr<TemporaryPath> TemporaryPath::make(const QString& final, Kind kind, QString& error)
{
    const QFileInfo target(QDir::cleanPath(QFileInfo(final).absoluteFilePath()));
    const QString stem = target.absolutePath() + QStringLiteral("/.") + target.fileName() + QLatin1Char('.');
    for (int attempt = 0; attempt < NameTries; ++attempt) {
        std::unique_ptr<TemporaryPath> made(new TemporaryPath(stem + randomSuffix(), kind));
        const QByteArray name = QFile::encodeName(made->path_);
        // The name is known to the handler before the path exists.
        const ChangingPaths changing;
        made->slot_.claim(name, kind);
        errno = 0;
        if (create(name, kind))
            return made;
        const int reason = errno;
        made->slot_.release();
        made->kept_ = true;  // nothing of ours to remove
        if (reason != EEXIST) {
            error = QStringLiteral("impossibile creare un file nella cartella «%1»: %2")
                        .arg(target.absolutePath(), fileErrorReason(reason));
            return nullptr;
        }
    }
    error = QStringLiteral("impossibile creare un file nella cartella «%1»: tutti i nomi provati per il file "
                           "nascosto sono già presi; togliete i file «.%2.…» che vi sono rimasti")
                .arg(target.absolutePath(), target.fileName());
    return nullptr;
}

TemporaryPath::~TemporaryPath()
{
    if (!kept_)
        remove();
}

bool TemporaryPath::startWriter(QProcess& process, const QString& program, const QStringList& arguments)
{
    const ChangingPaths changing;
    process.start(program, arguments);
    if (process.processId() > 0)
        slot_.watchProcess(static_cast<pid_t>(process.processId()));
    return process.state() != QProcess::NotRunning;
}

void TemporaryPath::writerEnded()
{
    const ChangingPaths changing;
    slot_.processEnded();
}

QString TemporaryPath::keepAs(const QString& final)
{
    const ChangingPaths changing;
    if (std::rename(QFile::encodeName(path_).constData(), QFile::encodeName(final).constData()) != 0)
        return fileErrorReason(errno);
    kept_ = true;
    slot_.release();
    return {};
}

void TemporaryPath::remove()
{
    const ChangingPaths changing;
    if (kind_ == Kind::folder)
        QDir(path_).removeRecursively();
    else
        QFile::remove(path_);
    slot_.release();
    kept_ = true;
}

}  // namespace vortiquo
