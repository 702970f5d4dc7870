// Saving a picture where saving must fail. Each fault gives a message that
// names the file and says why in Italian, leaves any earlier file of that
// name as it was and no temporary file beside it, and leaves the window as
// usable as before: the same picture, a later save that works, a run that runs.
#include <QDirIterator>
#include <QMessageBox>
#include <QTemporaryDir>
#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include "DialogSupport.h"
#include "InteractionSupport.h"
#include "window/PictureActions.h"
#include "picture/PictureFile.h"
#include "window/RunDispatcher.h"

using namespace vortiquo;

using namespace interaction;

enum class Fault { unwritableFolder, diskFull, fileSizeLimit, pathIsFolder, nameTooLong, nameWithNul, nameNotEncodable };
Q_DECLARE_METATYPE(Fault)

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file under `folder`, hidden ones too, by its path relative to it.
QStringList filesUnder(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

// The immutable flag stops root too, where the file system has it.
bool setImmutable(const QString& folder, bool immutable)
{
    const int descriptor = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    bool done = descriptor >= 0 && ioctl(descriptor, FS_IOC_GETFLAGS, &flags) == 0;
    flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    done = done && ioctl(descriptor, FS_IOC_SETFLAGS, &flags) == 0;
    if (descriptor >= 0)
        ::close(descriptor);
    return done;
}

// One fault, made in a folder of its own for one save and undone when the
// test ends, however it ends.
class FaultySave {
public:
    FaultySave(Fault fault, const QString& folder) : fault_(fault), folder_(folder)
    {
        const QString name = folder + QStringLiteral("/immagine.png");
        path = name;
        earlier = name;
        switch (fault) {
        case Fault::unwritableFolder:
            break;
        case Fault::diskFull:
            // A file system of two pages: the earlier file takes one.
            if (geteuid() != 0 || ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=8k") != 0)
                cannot = QStringLiteral("no small file system can be mounted here (needs root)");
            else
                mounted_ = true;
            break;
        case Fault::fileSizeLimit:
            break;
        case Fault::pathIsFolder:
            QDir(folder).mkdir(QStringLiteral("immagine.png"));
            earlier = name + QStringLiteral("/dentro.txt");
            break;
        case Fault::nameTooLong:
            path = folder + QLatin1Char('/') + QString(300, QLatin1Char('a')) + QStringLiteral(".png");
            break;
        case Fault::nameWithNul:
            // Cut at the NUL, the name would be the earlier file's.
            path = name + QChar(u'\0') + QStringLiteral(".png");
            break;
        case Fault::nameNotEncodable:
            // A lone surrogate has no UTF-8 form: written, it would become
            // U+FFFD, another name than the one asked for.
            path = folder + QStringLiteral("/immagine") + QChar(0xD800) + QStringLiteral(".png");
            earlier = QFile::decodeName(QFile::encodeName(path));
            break;
        }
        if (!earlier.isEmpty() && cannot.isEmpty() && !writeFile(earlier, EarlierContent))
            cannot = QStringLiteral("the earlier file could not be written");
    }

    ~FaultySave()
    {
        disarm();
        if (mounted_)
            ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
    }

    // Just before the save: the faults that would also stop the test's own writing.
    void arm()
    {
        if (fault_ == Fault::unwritableFolder) {
            armed_ = geteuid() == 0 ? setImmutable(folder_, true)
                                    : QFile::setPermissions(folder_, QFile::ReadOwner | QFile::ExeOwner);
            if (!armed_)
                cannot = QStringLiteral("this file system cannot make a folder immutable");
        }
        if (fault_ == Fault::fileSizeLimit) {
            getrlimit(RLIMIT_FSIZE, &sizeLimit_);
            const rlimit small{4000, sizeLimit_.rlim_max};
            oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead
            armed_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
        }
    }

    void disarm()
    {
        if (!armed_)
            return;
        armed_ = false;
        if (fault_ == Fault::unwritableFolder && geteuid() == 0)
            setImmutable(folder_, false);
        else if (fault_ == Fault::unwritableFolder)
            QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (fault_ == Fault::fileSizeLimit) {
            setrlimit(RLIMIT_FSIZE, &sizeLimit_);
            std::signal(SIGXFSZ, oldHandler_);
        }
    }

    static inline const QByteArray EarlierContent = "earlier";
    QString path;     // where the save goes
    QString earlier;  // a file written before under that name, or empty
    QString cannot;   // why this machine cannot make the fault, or empty

private:
    Fault fault_;
    QString folder_;
    bool mounted_ = false;
    bool armed_ = false;
    rlimit sizeLimit_{};
    void (*oldHandler_)(int) = SIG_DFL;
};

}  // namespace

class SaveFaultsTest : public QObject {
    Q_OBJECT
public:
    // The windows process their events as the programs' windows do.
    static void initMain() { prepareWindowEvents(); }

private slots:
    void failedSaveChangesNothing_data();
    void failedSaveChangesNothing();
    void recipeSavedOnlyWhereItReadsBack_data();
    void recipeSavedOnlyWhereItReadsBack();
    void fullJournalReadsBack_data();
    void fullJournalReadsBack();
};

void SaveFaultsTest::failedSaveChangesNothing_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("reason");
    QTest::newRow("unwritable folder") << Fault::unwritableFolder << "permesso negato";
    QTest::newRow("disk full during the write") << Fault::diskFull << "il disco è pieno";
    QTest::newRow("file size limit reached during the write") << Fault::fileSizeLimit << "dimensione massima";
    QTest::newRow("path is a folder") << Fault::pathIsFolder << "indica una cartella";
    QTest::newRow("name too long") << Fault::nameTooLong << "nome del file è troppo lungo";
    QTest::newRow("name with a NUL character") << Fault::nameWithNul << "caratteri che il disco non accetta";
    QTest::newRow("name with no form on the disk") << Fault::nameNotEncodable << "caratteri che il disco non accetta";
}

void SaveFaultsTest::failedSaveChangesNothing()
{
    QFETCH(Fault, fault);
    QFETCH(QString, reason);
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("cartella"));
    QVERIFY(QDir().mkdir(folder));
    FaultySave save(fault, folder);
    if (!save.cannot.isEmpty())
        QSKIP(qPrintable(save.cannot));
    const QStringList filesBefore = filesUnder(folder);

    SimulationForm form(Tessivo);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    applyEdits(form, {"termineT=50000"});
    LiveRun(form).start();
    const QImage picture = form.grafico()->image();

    save.arm();
    if (!save.cannot.isEmpty())
        QSKIP(qPrintable(save.cannot));
    const std::shared_ptr<QString> shown = acceptMessage();
    const bool saved = form.pictureActions()->saveTo(save.path);
    save.disarm();

    QVERIFY(!saved);
    QVERIFY2(shown->contains(QStringLiteral("Impossibile salvare «%1»").arg(save.path)) && shown->contains(reason),
             qPrintable(QString(*shown).replace(QChar(u'\0'), QStringLiteral("<NUL>"))));
    if (!save.earlier.isEmpty())
        QCOMPARE(readFile(save.earlier), FaultySave::EarlierContent);
    QCOMPARE(filesUnder(folder), filesBefore);  // no temporary file left behind

    // The window goes on as if nothing had happened.
    QCOMPARE(differentPixels(form.grafico()->image(), picture), 0);
    const QString good = root.filePath(QStringLiteral("dopo.png"));
    QVERIFY(form.pictureActions()->saveTo(good));
    QCOMPARE(differentPixels(QImage(good).convertToFormat(QImage::Format_RGB32), picture), 0);
    applyEdits(form, {"termineT=60000"});
    LiveRun(form).start();
    QCOMPARE(form.stepCount(), 60000);
}

// A journal within its bounds may still make a recipe too long for a PNG
// text to be read back (libpng drops a compressed text past 8,000,000
// bytes, and JSON writes a control character as six). Such a recipe is not
// written, and the caller is told beforehand; one that fits reads back whole.
void SaveFaultsTest::recipeSavedOnlyWhereItReadsBack_data()
{
    QTest::addColumn<int>("controlCharacters");  // in one field's text, each six bytes of JSON
    QTest::addColumn<bool>("fits");
    QTest::newRow("small") << 0 << true;
    QTest::newRow("just below the bound") << 1'300'000 << true;
    QTest::newRow("just above the bound") << 1'320'000 << false;
    QTest::newRow("beyond what libpng reads back") << 1'350'000 << false;
    QTest::newRow("within the journal's text bound, six times its size") << 3'900'000 << false;
}

void SaveFaultsTest::recipeSavedOnlyWhereItReadsBack()
{
    QFETCH(int, controlCharacters);
    QFETCH(bool, fits);
    SimulationForm form(Drumbel);
    Recipe recipe = form.pictureRecipe();
    JournalEntry edit;
    edit.field = Field::b;
    edit.text = std::string(static_cast<std::size_t>(controlCharacters), '\x01');
    recipe.entries.push_back(edit);
    const QByteArray json = recipeToJson(recipe);
    QCOMPARE(recipeFitsPicture(json), fits);

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("ricetta.png"));
    QCOMPARE(writePicture(path, form.grafico()->image(), Drumbel, form.session().texts(), 0, json), QString());
    QString error;
    const std::optional<Recipe> read = readRecipeFile(path, Drumbel, error);
    QCOMPARE(read.has_value(), fits);
    if (read)
        QCOMPARE(recipeToJson(*read), recipeToJson(recipe));
    else
        QVERIFY2(error.contains(QStringLiteral("non contiene una ricetta")), qPrintable(error));
}

// A journal at its bound, saved in the middle of a run, gets a halt on top:
// whatever the window calls complete must still read back.
void SaveFaultsTest::fullJournalReadsBack_data()
{
    QTest::addColumn<int>("entries");  // recorded before the save, more being refused
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("complete");
    const int bound = int(Journal::MaxEntries);
    QTest::newRow("during a run, one short of the bound") << bound - 1 << true << true;
    QTest::newRow("during a run, at the bound") << bound << true << false;
    QTest::newRow("idle, one short of the bound") << bound - 1 << false << true;
}

void SaveFaultsTest::fullJournalReadsBack()
{
    QFETCH(int, entries);
    QFETCH(bool, running);
    QFETCH(bool, complete);
    FieldTexts texts = designTexts(*Drumbel.layout);
    Session session(*Drumbel.model, loadedState(texts, loadFacts(Drumbel)), texts, 8);
    if (running)
        session.via();
    for (int recorded = int(session.journal().entries().size()); recorded < entries; ++recorded) {
        if (recorded % 2 == 0)
            session.chooseScheme(2);
        else
            session.stop();  // alternating, so that nothing merges
    }
    if (session.journal().complete()) {
        Recipe recipe;
        recipe.program = &Drumbel;
        recipe.start = session.journalStart();
        recipe.entries = session.journalUntilNow();
        recipe.background = Qt::white;
        QString error;
        QVERIFY2(recipeFromJson(recipeToJson(recipe), Drumbel, error), qPrintable(error));
    }
    QCOMPARE(session.journal().complete(), complete);
}

QTEST_MAIN(SaveFaultsTest)
#include "SaveFaultsTest.moc"
