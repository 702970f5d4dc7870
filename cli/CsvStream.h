#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

namespace vortiquo {

// A CSV file written as its rows come, so that no file is ever held whole
// in memory: the rows go to a temporary file beside the final one (QSaveFile),
// which takes the final name only at commit. Until then, and on any failure,
// an earlier file of that name is left as it was.
class CsvStream {
public:
    explicit CsvStream(const QString& path) : file_(path) {}
    // Opens the temporary file and writes the header; false with reason().
    bool open(const QByteArray& header);
    // Appends rows; false once a write has failed (the rest is then dropped).
    bool add(const QByteArray& rows);
    // Gives the file its final name; false with reason(). Without a commit,
    // the temporary file goes when this object does.
    bool commit();
    // What went wrong, in Italian.
    const QString& reason() const { return reason_; }

private:
    bool fail(int error);

    QSaveFile file_;
    QByteArray pending_;
    QString reason_;
    bool failed_ = false;
};

// A number with 17 significant digits and a full stop, whatever the locale.
QByteArray csvNumber(double value);

}  // namespace vortiquo
