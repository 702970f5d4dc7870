// Qt's own texts, in its standard dialogs and the fields' context menu, are
// Italian like the window's under any locale, wherever Qt's Italian
// translations are installed. The test runs under the C locale.
#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QTest>

#include "cli/RunProgram.h"

using namespace vortiquo;

class QtTextsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void saveDialogInItalian_data();
    void saveDialogInItalian();
};

void QtTextsTest::initTestCase()
{
    QCOMPARE(QLocale().language(), QLocale::C);
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_it.qm")))
        QSKIP("Qt's Italian translations are not installed");
    loadQtTranslations(*QCoreApplication::instance());
}

void QtTextsTest::saveDialogInItalian_data()
{
    QTest::addColumn<QString>("text");  // of a label or a button of Qt's own save dialog
    QTest::newRow("the folder") << "Cerca in:";
    QTest::newRow("the file name") << "&Nome del file:";
    QTest::newRow("save") << "&Salva";
    QTest::newRow("cancel") << "Annulla";
}

void QtTextsTest::saveDialogInItalian()
{
    QFETCH(QString, text);
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        texts << label->text();
    for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
        texts << button->text();
    QVERIFY2(texts.contains(text), qPrintable(texts.join(QStringLiteral(" | "))));
}

int main(int argc, char** argv)
{
    qputenv("LC_ALL", "C.UTF-8");
    qunsetenv("LANGUAGE");
    QApplication application(argc, argv);
    QtTextsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "QtTextsTest.moc"
