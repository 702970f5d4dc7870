#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <functional>

namespace vortiquo {

// A file written whole or not at all. Its bytes go to a temporary file beside
// it, which takes the file's name only at commit(): a failure, or a change of
// mind at the last moment, leaves any earlier file of that name as it was and
// nothing beside it. Every answer is an empty string, or the reason in
// Italian (fileErrorReason), never the system's English text.
class WholeFile {
public:
    explicit WholeFile(const QString& path);

    QString open();
    // After a failure nothing more is written, and the same reason is given
    // again, so a writer of many pieces may look only at the last answer.
    QString write(const QByteArray& bytes);
    // `stillWanted`, asked once everything is written and just before the
    // name is taken, can still abandon the file; the answer is then
    // abandonedText().
    QString commit(const std::function<bool()>& stillWanted = {});

    static QString abandonedText();

private:
    QString fail(int errorNumber);

    QString path_;
    QSaveFile file_;
    QString failure_;
};

// The whole of `contents` in `path`, as WholeFile writes it.
QString writeWholeFile(const QString& path, const QByteArray& contents,
                       const std::function<bool()>& stillWanted = {});

// Whether the file system can take `path` as it is: a NUL would cut it short,
// and a character with no UTF-8 form (a lone surrogate) would turn into
// another one, giving the file another name than the one asked for.
bool nameFitsFileSystem(const QString& path);

}  // namespace vortiquo
