// A sweep's recipe read back from a file: what is written reads back to the
// same document, in the lowest version that holds it, and what a damaged or
// foreign file claims is refused whole, with the reason in Italian.
#include <QRegularExpression>
#include <QTest>

#include "ProgramRows.h"
#include "picture/SweepRecipe.h"

using namespace vortiquo;

Q_DECLARE_METATYPE(SweepRecipe)

namespace {

SweepRecipe recipeOf(const Program& program, SweepRecipe::Kind kind)
{
    SweepRecipe recipe;
    recipe.program = &program;
    recipe.kind = kind;
    recipe.width = 40, recipe.height = 30;
    recipe.across0 = -1.5, recipe.across1 = 2.25, recipe.up0 = 0.125, recipe.up1 = 7;
    recipe.transient = 600, recipe.duration = 2000;
    return recipe;
}

// A flow's recipe of `kind` with its own letters set by `adjust`.
template <typename Adjust>
SweepRecipe flowRecipe(SweepRecipe::Kind kind, Adjust adjust)
{
    SweepRecipe recipe = recipeOf(Kelvane, kind);
    recipe.transient = 0.5, recipe.duration = 12.75;
    recipe.edits = {{Field::dt, "1e-3"}, {Field::z0, "-0.5"}};
    adjust(recipe);
    return recipe;
}

// A valid document of KelvaneW7 with one member replaced (or removed, for an
// empty value).
QByteArray kelvaneDocument(const QString& kind, const QString& member, const QString& value)
{
    QString text = QStringLiteral(
        R"({"format":"Vortiquo sweep","version":2,"program":"KelvaneW7","kind":"%1","size":[8,6],)"
        R"("transient":1,"duration":2,"across":"c","up":"a","c":[2,6],"a":[0.1,0.3],"vary":"c","range":[2,6],)"
        R"("of":"x","x":[3,12],"at":"x","level":0,"direction":"down","set":[]})")
                       .arg(kind);
    const QRegularExpression old(QStringLiteral("\"%1\":(\"[^\"]*\"|\\[[^\\]]*\\]|[^,}]*)").arg(member));
    text.replace(old, value.isEmpty() ? QStringLiteral("\"unused\":0") : QStringLiteral("\"%1\":%2").arg(member, value));
    return text.toUtf8();
}

}  // namespace

class SweepRecipeTest : public QObject {
    Q_OBJECT
private slots:
    void readsBackWhatIsWritten_data();
    void readsBackWhatIsWritten();
    void refusesWhatNoProgramWrites_data();
    void refusesWhatNoProgramWrites();
};

void SweepRecipeTest::readsBackWhatIsWritten_data()
{
    QTest::addColumn<SweepRecipe>("recipe");
    QTest::addColumn<int>("version");
    using Kind = SweepRecipe::Kind;
    QTest::newRow("a map's plane stays in version 1") << recipeOf(Drumbel, Kind::Plane) << 1;
    QTest::newRow("a map's diagram of x too") << recipeOf(Tessivo, Kind::Orbits) << 1;
    QTest::newRow("a flow's plane over c and a") << flowRecipe(Kind::Plane, [](SweepRecipe& r) {
        r.acrossParameter = 'c', r.upParameter = 'a';
    }) << 2;
    QTest::newRow("a flow's diagram of the maxima of z, in a tile") << flowRecipe(Kind::Orbits, [](SweepRecipe& r) {
        r.vary = 'b', r.of = 'z', r.tile = 3, r.tiles = 4;
    }) << 2;
    QTest::newRow("a map of maxima fitted to its points")
        << flowRecipe(Kind::Maxima, [](SweepRecipe& r) { r.of = 'y', r.fitted = true; }) << 2;
    QTest::newRow("a map of maxima zoomed in") << flowRecipe(Kind::Maxima, [](SweepRecipe& r) {
        r.up0 = r.across0, r.up1 = r.across1;
    }) << 2;
    QTest::newRow("a section zoomed in, downwards") << flowRecipe(Kind::Section, [](SweepRecipe& r) {
        r.of = 'y', r.level = -2.5, r.upward = false;
    }) << 2;
    QTest::newRow("a section fitted") << flowRecipe(Kind::Section, [](SweepRecipe& r) {
        r.of = 'z', r.level = 27, r.fitted = true;
    }) << 2;
}

void SweepRecipeTest::readsBackWhatIsWritten()
{
    QFETCH(SweepRecipe, recipe);
    QFETCH(int, version);
    QCOMPARE(sweepRecipeVersion(recipe), version);
    const QByteArray json = sweepRecipeToJson(recipe);
    QVERIFY2(json.contains(QStringLiteral("\"version\":%1").arg(version).toUtf8()), json.constData());
    QString error;
    const std::optional<SweepRecipe> read = sweepRecipeFromJson(json, *recipe.program, error);
    QVERIFY2(read, qPrintable(error));
    QCOMPARE(sweepRecipeToJson(*read), json);
    QCOMPARE(read->fitted, recipe.fitted);
    QCOMPARE(read->isTile(), recipe.isTile());
}

void SweepRecipeTest::refusesWhatNoProgramWrites_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("message");
    const QByteArray drumbelPlane = sweepRecipeToJson(recipeOf(Drumbel, SweepRecipe::Kind::Plane));
    QTest::newRow("a version still to come") << &Kelvane << kelvaneDocument("plane", "version", "3")
                                             << "una versione di Vortiquo che questa non conosce";
    QTest::newRow("a section in version 1") << &Kelvane << kelvaneDocument("section", "version", "1")
                                            << "tipo sconosciuto";
    QTest::newRow("a map's section") << &Drumbel << QByteArray(drumbelPlane).replace("\"plane\"", "\"section\"")
                                     << "tipo sconosciuto";
    QTest::newRow("a map's plane over c") << &Drumbel
                                          << QByteArray(drumbelPlane)
                                                 .replace("\"version\":1", "\"version\":2,\"across\":\"c\",\"up\":\"b\"")
                                          << "«across» non è ammesso";
    QTest::newRow("a plane over one parameter twice") << &Kelvane << kelvaneDocument("plane", "up", "\"c\"")
                                                      << "lo stesso parametro";
    QTest::newRow("a plane without its range") << &Kelvane << kelvaneDocument("plane", "a", "") << "«a»";
    QTest::newRow("a diagram of w") << &Kelvane << kelvaneDocument("orbits", "of", "\"w\"") << "«of» non è ammesso";
    QTest::newRow("a section's level as text") << &Kelvane << kelvaneDocument("section", "level", "\"0\"") << "«level»";
    QTest::newRow("a section sideways") << &Kelvane << kelvaneDocument("section", "direction", "\"left\"")
                                        << "«direction»";
    QTest::newRow("a section in one range of two") << &Kelvane << kelvaneDocument("section", "at", "\"z\"")
                                                   << "«y» non è un intervallo";
    QTest::newRow("a flow measured over no time") << &Kelvane << kelvaneDocument("plane", "duration", "0")
                                                  << "«duration»";
    QTest::newRow("a flow's transient beyond the bound") << &Kelvane << kelvaneDocument("orbits", "transient", "1e12")
                                                         << "«transient»";
    QTest::newRow("a map's steps in fractions") << &Drumbel << QByteArray(drumbelPlane).replace("2000", "2000.5")
                                                << "«iterations»";
    QTest::newRow("one orbit in tiles") << &Kelvane << kelvaneDocument("maxima", "set", "[],\"tile\":[1,2]")
                                        << "«tile»";
}

void SweepRecipeTest::refusesWhatNoProgramWrites()
{
    QFETCH(const Program*, program);
    QFETCH(QByteArray, json);
    QFETCH(QString, message);
    QString error;
    QVERIFY2(!sweepRecipeFromJson(json, *program, error), json.constData());
    QVERIFY2(error.contains(message), qPrintable(error));
}

QTEST_MAIN(SweepRecipeTest)
#include "SweepRecipeTest.moc"
