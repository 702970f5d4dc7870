#include "cli/CsvStream.h"

namespace vortiquo {

namespace {

// Rows are gathered up to this many bytes before they are written.
constexpr qsizetype FlushAt = 1 << 20;

}  // namespace

bool CsvStream::open(const QByteArray& header)
{
    reason_ = file_.open();
    return reason_.isEmpty() && add(header);
}

bool CsvStream::add(const QByteArray& rows)
{
    if (!reason_.isEmpty())
        return false;
    pending_ += rows;
    return pending_.size() < FlushAt || flush();
}

bool CsvStream::flush()
{
    reason_ = file_.write(pending_);
    pending_.clear();
    return reason_.isEmpty();
}

bool CsvStream::commit()
{
    if (!reason_.isEmpty() || !flush())
        return false;
    reason_ = file_.commit();
    return reason_.isEmpty();
}

QByteArray csvNumber(double value)
{
    return QByteArray::number(value, 'g', 17);
}

}  // namespace vortiquo
