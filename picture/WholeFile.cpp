#include "picture/WholeFile.h"

#include <QFileInfo>
#include <cerrno>

#include "picture/PictureFile.h"

namespace vortiquo {

WholeFile::WholeFile(const QString& path) : path_(path), file_(path) {}

QString WholeFile::fail(int errorNumber)
{
    if (failure_.isEmpty())
        failure_ = fileErrorReason(errorNumber);
    if (file_.isOpen())
        file_.cancelWriting();
    return failure_;
}

QString WholeFile::open()
{
    if (!nameFitsFileSystem(path_))
        return fail(EILSEQ);
    if (QFileInfo(path_).isDir())
        return fail(EISDIR);
    errno = 0;
    if (!file_.open(QIODevice::WriteOnly))
        return fail(errno);
    return {};
}

QString WholeFile::write(const QByteArray& bytes)
{
    if (!failure_.isEmpty())
        return failure_;
    errno = 0;
    if (file_.write(bytes) != bytes.size())
        return fail(errno);
    return {};
}

QString WholeFile::commit(const std::function<bool()>& stillWanted)
{
    if (!failure_.isEmpty())
        return failure_;
    // The buffered bytes reach the disk first, so that a full disk is told
    // apart from a change of mind.
    errno = 0;
    if (!file_.flush())
        return fail(errno);
    if (stillWanted && !stillWanted()) {
        file_.cancelWriting();
        failure_ = abandonedText();
        return failure_;
    }
    errno = 0;
    if (!file_.commit())
        return fail(errno);
    return {};
}

QString WholeFile::abandonedText()
{
    return QStringLiteral("la scrittura è stata annullata");
}

QString writeWholeFile(const QString& path, const QByteArray& contents, const std::function<bool()>& stillWanted)
{
    WholeFile file(path);
    QString error = file.open();
    if (error.isEmpty())
        error = file.write(contents);
    return error.isEmpty() ? file.commit(stillWanted) : error;
}

bool nameFitsFileSystem(const QString& path)
{
    return !path.contains(QChar(u'\0')) && QFile::decodeName(QFile::encodeName(path)) == path;
}

}  // namespace vortiquo
