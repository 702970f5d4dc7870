#include "cli/CsvStream.h"

#include <cerrno>

#include "picture/PictureFile.h"

namespace vortiquo {

namespace {

// Rows are gathered up to this many bytes before they are written.
constexpr qsizetype FlushAt = 1 << 20;

}  // namespace

bool CsvStream::open(const QByteArray& header)
{
    errno = 0;
    if (!file_.open(QIODevice::WriteOnly))
        return fail(errno);
    return add(header);
}

bool CsvStream::add(const QByteArray& rows)
{
    if (failed_)
        return false;
    pending_ += rows;
    if (pending_.size() < FlushAt)
        return true;
    errno = 0;
    if (file_.write(pending_) != pending_.size())
        return fail(errno);
    pending_.clear();
    return true;
}

bool CsvStream::commit()
{
    if (failed_)
        return false;
    errno = 0;
    if (file_.write(pending_) != pending_.size())
        return fail(errno);
    pending_.clear();
    errno = 0;
    return file_.commit() || fail(errno);
}

bool CsvStream::fail(int error)
{
    if (!failed_)
        reason_ = fileErrorReason(error);
    failed_ = true;
    pending_.clear();
    file_.cancelWriting();
    return false;
}

QByteArray csvNumber(double value)
{
    return QByteArray::number(value, 'g', 17);
}

}  // namespace vortiquo
