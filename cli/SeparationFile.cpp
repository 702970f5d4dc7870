#include "cli/SeparationFile.h"

#include <charconv>

namespace vortiquo {

namespace {

void append(QByteArray& out, double value)
{
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    out.append(buffer, written.ptr - buffer);
}

}  // namespace

QByteArray separationCsv(const TwinSeries& series)
{
    QByteArray out(SeparationHeader);
    out.reserve(out.size() + static_cast<qsizetype>(series.samples.size()) * 96);
    for (const TwinSample& sample : series.samples) {
        out.append(QByteArray::number(sample.step));
        for (const double value : {sample.time, sample.x, sample.twinX, sample.separation}) {
            out.append(',');
            append(out, value);
        }
        out.append('\n');
    }
    return out;
}

}  // namespace vortiquo
