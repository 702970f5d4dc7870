// Saving, copying and opening a picture in the window: a picture saved in
// the middle of a run, with Qt's own dialog, opens again as the same pixels
// with the same fields and options; a damaged or foreign file changes
// nothing. Saves that fail are SaveFaultsTest's.
#include <QBuffer>
#include <QClipboard>
#include <QCompleter>
#include <QAbstractItemView>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtEndian>
#include <memory>

#include "DialogSupport.h"
#include "InteractionSupport.h"
#include "window/PictureActions.h"
#include "picture/Recipe.h"
#include "picture/Redraw.h"

using namespace vortiquo;

using namespace interaction;

namespace {

QByteArray withText(const QImage& picture, const QString& key, const QString& value)
{
    QImage tagged = picture;
    tagged.setText(key, value);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    tagged.save(&buffer, "png");
    return bytes;
}

// A PNG file whose header claims another size, its checksum put right; its
// pixels do not follow.
QByteArray claimingSize(const QImage& picture, QSize size)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "png");
    qToBigEndian<quint32>(quint32(size.width()), bytes.data() + 16);  // IHDR comes first
    qToBigEndian<quint32>(quint32(size.height()), bytes.data() + 20);
    quint32 crc = 0xFFFFFFFFu;
    for (qsizetype at = 12; at < 29; ++at) {
        crc ^= quint8(bytes[at]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    qToBigEndian<quint32>(~crc, bytes.data() + 29);
    return bytes;
}

}  // namespace

class SavedPictureTest : public QObject {
    Q_OBJECT
private slots:
    void savedDuringRunOpensAsSaved();
    void actionsWhileSaveDialogIsUp_data();
    void actionsWhileSaveDialogIsUp();
    void contextMenuFromMouseAndKeyboard();
    void damagedFileChangesNothing_data();
    void damagedFileChangesNothing();
    void recipeOutlivesItsWindow();
    void drawingAreaKeepsTheLayoutSize_data();
    void drawingAreaKeepsTheLayoutSize();

private:
    QTemporaryDir folder_;
};

void SavedPictureTest::savedDuringRunOpensAsSaved()
{
    const QString path = folder_.filePath("in-corsa");  // the dialog adds .png
    SimulationForm form(Kelvane);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    applyEdits(form, {"termineT=3000", "aT=0.15"});
    QImage saved;
    std::int64_t savedAt = 0;
    LiveRun run(form);
    run.at(500, [&](std::int64_t) { click(option(form, 3)); })
        .at(900, [&](std::int64_t) { typeOver(textField(form, "cT"), "6"); })
        .at(1200, [&](std::int64_t) {
            savedAt = form.stepCount();
            saved = form.grafico()->image();
            whenDialogShows([&](QWidget* dialog) { enterPath(dialog, path); });
            QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
        });
    run.start();
    QCOMPARE(form.stepCount(), 3000);  // the run went on after the dialog

    QGuiApplication::clipboard()->clear();
    form.pictureActions()->copy();
    QCOMPARE(differentPixels(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
                             form.grafico()->image()), 0);

    // Dropped on a fresh window, the file shows the picture as it was saved,
    // with the fields and options of that moment, and the window idle.
    SimulationForm reopened(Kelvane);
    reopened.show();
    QVERIFY(QTest::qWaitForWindowExposed(&reopened));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path + ".png")});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&reopened, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&reopened, &drop);
    QCOMPARE(differentPixels(QImage(path + ".png").convertToFormat(QImage::Format_RGB32), saved), 0);
    QTRY_COMPARE(differentPixels(reopened.grafico()->image(), saved), 0);
    QCOMPARE(textField(reopened, "cT")->text(), "6");
    QCOMPARE(textField(reopened, "aT")->text(), "0.15");
    QVERIFY(option(reopened, 3)->isChecked() && option(reopened, 8)->isChecked());
    QCOMPARE(reopened.state().colourScheme, 3);
    QVERIFY(!reopened.isRunning());
    QCOMPARE(reopened.session().stepsDrawn(), savedAt + 1);  // saved after the step that pass drew
    // Saved again, the picture's recipe describes it still.
    QVERIFY(reopened.pictureActions()->saveTo(folder_.filePath("di-nuovo.png")));
    QCOMPARE(QImage(folder_.filePath("di-nuovo.png")).text(RecipeKey), QImage(path + ".png").text(RecipeKey));
}

// The dialog's own event loop runs inside the run loop's event processing:
// what reaches the window meanwhile must leave it sound, and the save goes on.
void SavedPictureTest::actionsWhileSaveDialogIsUp_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("stepsAtEnd");  // the run's count when it is over
    QTest::newRow("Stop") << "Stop" << 401;
    QTest::newRow("Via restarts") << "Via" << 2000;
    QTest::newRow("window closed") << "close" << 400;
}

void SavedPictureTest::actionsWhileSaveDialogIsUp()
{
    QFETCH(QString, action);
    QFETCH(int, stepsAtEnd);
    const QString path = folder_.filePath(action + ".png");
    SimulationForm form(Drumbel);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    applyEdits(form, {"termineT=2000"});
    LiveRun run(form);
    run.at(400, [&](std::int64_t) {
        whenDialogShows([&](QWidget* dialog) {
            if (action == QLatin1String("close"))
                form.close();
            else
                click(button(form, action));
            enterPath(dialog, path);
        });
        form.pictureActions()->save();
    });
    run.start();
    QVERIFY(!form.isRunning());
    QCOMPARE(form.stepCount(), stepsAtEnd);
    QVERIFY(!QImage(path).text(RecipeKey).isEmpty());
}

void SavedPictureTest::contextMenuFromMouseAndKeyboard()
{
    SimulationForm form(Drumbel);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QMenu* menu = form.pictureActions()->menu();
    QStringList texts;
    for (QAction* action : menu->actions().first(3))  // the picture's own commands; tools follow
        texts << action->text() + QLatin1Char('|') + action->shortcut().toString();
    QCOMPARE(texts, (QStringList{"Salva immagine…|Ctrl+S", "Copia immagine|", "Apri immagine…|Ctrl+O"}));

    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), form.grafico()->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(form.grafico(), &click);
    QTRY_VERIFY(menu->isVisible());
    menu->hide();
    form.grafico()->setFocus();
    QTest::keyClick(form.grafico(), Qt::Key_F10, Qt::ShiftModifier);
    QTRY_VERIFY(menu->isVisible());
    menu->hide();
}

void SavedPictureTest::damagedFileChangesNothing_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("message");
    const QImage plain(439, 433, QImage::Format_RGB32);
    const QString recipe = QImage(QFINDTESTDATA("data/brisuta-200000.png")).text(RecipeKey);
    QTest::newRow("not a picture") << QByteArray("GIF89a and nothing") << "non è un'immagine PNG";
    QTest::newRow("no recipe") << withText(plain, "Software", "other") << "non contiene una ricetta";
    QTest::newRow("another program's") << withText(plain, RecipeKey, QString(recipe).replace("BrisutaW7", "TessivoW7"))
                                       << "fatta con TessivoW7";
    QTest::newRow("unknown version") << withText(plain, RecipeKey, QString(recipe).replace("\"version\": 1", "\"version\": 7"))
                                     << "versione sconosciuta (7)";
    QTest::newRow("cut short") << withText(plain, RecipeKey, recipe.left(recipe.size() / 2)) << "danneggiata";
    QTest::newRow("state not finite") << withText(plain, RecipeKey, QString(recipe).replace("\"a\": \"10\"", "\"a\": \"inf\""))
                                      << "«a» non è un numero finito";
    QTest::newRow("larger than any picture of the window") << claimingSize(plain, QSize(7040, 6944))
                                                           << "più grande di ogni immagine";
    QTest::newRow("journal that does not fit") << withText(plain, RecipeKey, QString(recipe).replace("\"steps\": 200000", "\"steps\": 199999"))
                                               << "il giornale non torna";
}

void SavedPictureTest::damagedFileChangesNothing()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, message);
    const QString path = folder_.filePath("damaged.png");
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
    out.close();
    SimulationForm form(Brisuta);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    applyEdits(form, {"termineT=500", "bT=30"});
    LiveRun(form).start();
    const QImage before = form.grafico()->image();
    const SimulationState state = form.state();
    const auto shown = acceptMessage();
    QVERIFY(!form.pictureActions()->openFile(path));
    QVERIFY2(shown->contains(message), qPrintable(*shown));
    QCOMPARE(differentPixels(form.grafico()->image(), before), 0);
    QCOMPARE(differingMembers(form.state(), state), QStringList());
    QCOMPARE(textField(form, "bT")->text(), "30");
}

// A recipe names its program by the row of the program table, so it stays
// sound once its window is gone (a render or a save may still be writing it).
void SavedPictureTest::recipeOutlivesItsWindow()
{
    Recipe recipe;
    {
        SimulationForm form(Drumbel);
        recipe = form.pictureRecipe();
    }
    QCOMPARE(recipe.program, &Drumbel);
    QVERIFY(recipeToJson(recipe).contains("\"DrumbelW7\""));
}

// The drawing area, its picture and a replay of it take their size from the
// layout alone: an area pushed to another size still draws a picture that
// opens again.
void SavedPictureTest::drawingAreaKeepsTheLayoutSize_data()
{
    QTest::addColumn<QSize>("pushedTo");
    QTest::newRow("smaller") << QSize(200, 150);
    QTest::newRow("larger") << QSize(600, 580);
}

void SavedPictureTest::drawingAreaKeepsTheLayoutSize()
{
    QFETCH(QSize, pushedTo);
    const QString path = folder_.filePath("spinta.png");
    SimulationForm form(Tessivo);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.grafico()->resize(pushedTo);
    click(button(form, "Cancella"));
    applyEdits(form, {"termineT=2000"});
    LiveRun(form).start();
    QCOMPARE(form.grafico()->image().size(), devicePixels(drawingAreaSize(Tessivo), form.grafico()->devicePixelRatioF()));
    QVERIFY(form.pictureActions()->saveTo(path));
    SimulationForm reopened(Tessivo);
    reopened.show();
    QVERIFY(QTest::qWaitForWindowExposed(&reopened));
    const auto shown = acceptMessage();
    QVERIFY2(reopened.pictureActions()->openFile(path), qPrintable(*shown));
    QCOMPARE(differentPixels(reopened.grafico()->image(), form.grafico()->image()), 0);
}

QTEST_MAIN(SavedPictureTest)
#include "SavedPictureTest.moc"
