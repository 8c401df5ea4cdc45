// The recovery journal: a run that ends without saving leaves its steps behind, and the next
// start rebuilds the table from them exactly; a journal cut short by the crash gives every
// whole step before the cut; one whose files changed since is never replayed.
#include "AppFixture.h"
#include "FileHelpers.h"
#include "app/EntryForm.h"
#include "edit/EditCommands.h"
#include "edit/ReplaceCommands.h"
#include "history/ContactLog.h"
#include "logbook/LogbookCommands.h"
#include "logbook/RecoveryCommands.h"
#include "ui/FormWindow.h"
#include <QDir>
#include <QPlainTextEdit>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

const QString kJournal = u".orvanel-recuperacion"_s;

void add(AppFixture &f, const QString &call, const QString &comment = QString())
{
    f.app->entry().dato(0)->setText(call);
    f.app->entry().comment()->setPlainText(comment);
    f.app->entry().Guardar_Click();
}

void fileWindow(AppFixture &f, const char *menu, FormWindow *(LogbookCommands::*window)() const, const char *button,
                const QString &name)
{
    f.action(menu)->trigger();
    FormWindow *w = (f.app->logbook().*window)();
    w->lineEdit(u"Archivo"_s)->setText(name);
    w->button(QString::fromLatin1(button))->click();
}

struct State
{
    QList<QStringList> cells;
    QString title;
    bool saveEnabled;
    bool operator==(const State &o) const { return cells == o.cells && title == o.title && saveEnabled == o.saveEnabled; }
};

State state(AppFixture &f)
{
    return {f.cells(), f.frame().windowTitle(), f.action("mGuardar")->isEnabled()};
}

// The program stops without ending cleanly, and starts again in the same folder.
void crashAndRestart(AppFixture &f, int answer = 0)
{
    f.app.reset();
    f.fakes.messages.asked.clear();
    f.fakes.messages.choices = {answer};
    f.start();
    f.app->recovery().offerRecovery();
}

QStringList asideFiles(const AppFixture &f)
{
    return QDir(f.dir.path(), kJournal + u"-*"_s, QDir::Name, QDir::Files | QDir::Hidden).entryList();
}

} // namespace

namespace QTest {
template<> char *toString(const State &s)
{
    return qstrdup(qPrintable(u"%1 (save %2): %3 rows"_s.arg(s.title).arg(s.saveEnabled).arg(s.cells.size())));
}
}

class TestRecovery : public QObject
{
    Q_OBJECT
private slots:
    void everyKindOfStepComesBack();
    void cutJournalGivesTheWholeStepsBeforeTheCut_data();
    void cutJournalGivesTheWholeStepsBeforeTheCut();
    void changedFileIsNeverReplayed();
    void answeringNoSetsTheJournalAside();
    void unwritableJournalIsSaidOnce();
    void journalOfAnEarlierVersion_data();
    void journalOfAnEarlierVersion();
};

// Steps of every kind, some undone and redone, a save in between (which starts the journal
// afresh), and an undo that reaches back past that save.
void TestRecovery::everyKindOfStepComesBack()
{
    AppFixture f;
    writeFile(f.path(u"base.LBR"_s), "2\r\n" + QByteArray("\"K1A\"\r\n").repeated(16) + QByteArray("\"K2B\"\r\n").repeated(16));
    fileWindow(f, "nAbrir", &LogbookCommands::abreWindow, "Command1", u"base.LBR"_s);
    add(f, u"EA4ZZ"_s, u"uno\rdos"_s);
    add(f, u"CE3AA"_s);
    f.libro().setCol(1);
    f.libro().setRow(1);
    f.action("mOrdenar")->trigger();
    fileWindow(f, "mGuardar_como", &LogbookCommands::guardaWindow, "Command1", u"guardado.LBR"_s);
    QVERIFY(!QFileInfo::exists(f.path(kJournal))); // saved: nothing to recover
    fileWindow(f, "mImportar", &LogbookCommands::importarWindow, "Abrir", u"base.LBR"_s);
    writeFile(f.path(u"otro.adi"_s), "<CALL:4>K9ZZ <QSO_DATE:8>20260101 <TIME_ON:4>0130 <EOR>\n");
    f.app->variables().utc = UtcConversion::fixedHours(3); // the journal keeps how UTC became local time
    fileWindow(f, "mImportar", &LogbookCommands::importarWindow, "Abrir", u"otro.adi"_s);
    f.app->variables().utc = UtcConversion::fixedHours(0);
    f.libro().setCol(2);
    f.libro().setRow(3);
    f.action("mCortar")->trigger();
    f.libro().setRow(5);
    f.action("mPegar")->trigger();
    f.libro().setRow(2);
    f.action("mBorra_linea")->trigger();
    f.action("mNuevo")->trigger();
    f.action("mDeshacer")->trigger();
    f.action("mRehacer")->trigger();
    f.action("mDeshacer")->trigger();
    fileWindow(f, "nAbrir", &LogbookCommands::abreWindow, "Command1", u"base.LBR"_s);
    f.action("mDeshacer")->trigger();
    for (int i = 0; i < 6; ++i) // back past the save: the imports, the sort
        f.action("mDeshacer")->trigger();
    f.action("mRehacer")->trigger();
    add(f, u"LU1ÑÜ"_s, u"€ “x”"_s);
    // An import that leaves out a contact already in the log leaves it out when replayed too.
    writeFile(f.path(u"otro2.adi"_s), "<CALL:4>K8YY <QSO_DATE:8>20260101 <TIME_ON:4>0130 <EOR>\n" + readAll(f.path(u"otro.adi"_s)));
    fileWindow(f, "mImportar", &LogbookCommands::importarWindow, "Abrir", u"otro.adi"_s);
    fileWindow(f, "mImportar", &LogbookCommands::importarWindow, "Abrir", u"otro2.adi"_s);
    QCOMPARE(f.cells().last().at(1), u"K8YY"_s);
    QCOMPARE(f.cells().at(f.cells().size() - 2).at(1), u"K9ZZ"_s);
    QVERIFY(QFileInfo::exists(f.path(kJournal)));
    const State before = state(f);

    crashAndRestart(f);
    QCOMPARE(f.fakes.messages.asked.size(), 1);
    QVERIFY(f.fakes.messages.asked.at(0).text.startsWith(u"Se encontraron "_s));
    QVERIFY(f.fakes.messages.asked.at(0).text.contains(u"cambios sin guardar de la sesión anterior (último: "_s));
    QCOMPARE(f.fakes.messages.asked.at(0).choices, (QStringList{u"&Sí"_s, u"&No"_s}));
    QCOMPARE(state(f), before);
    QVERIFY(f.app->log().isChanged());
    // The journal goes on: a second crash brings back this step too.
    add(f, u"XE1A"_s);
    const State after = state(f);
    crashAndRestart(f);
    QCOMPARE(state(f), after);
}

void TestRecovery::cutJournalGivesTheWholeStepsBeforeTheCut_data()
{
    QTest::addColumn<int>("cut"); // bytes taken off the end
    for (int cut : {1, 7, 8, 9, 40})
        QTest::addRow("%d bytes off", cut) << cut;
}

void TestRecovery::cutJournalGivesTheWholeStepsBeforeTheCut()
{
    QFETCH(int, cut);
    AppFixture f;
    add(f, u"EA1A"_s);
    add(f, u"EA2B"_s);
    const State twoAdds = state(f);
    add(f, u"EA3C"_s, QString(60, u'x')); // a last step longer than any cut
    QByteArray bytes = readAll(f.path(kJournal));
    f.app.reset();
    QVERIFY(writeFile(f.path(kJournal), bytes.left(bytes.size() - cut)));
    crashAndRestart(f);
    QVERIFY(f.fakes.messages.asked.at(0).text.startsWith(u"Se encontraron 2 cambios"_s));
    QCOMPARE(state(f), twoAdds);
    // What goes on is appended after the whole steps, not after the damage.
    add(f, u"EA9Z"_s);
    const State more = state(f);
    crashAndRestart(f);
    QCOMPARE(state(f), more);
}

void TestRecovery::changedFileIsNeverReplayed()
{
    AppFixture f;
    writeFile(f.path(u"base.LBR"_s), "1\r\n" + QByteArray("\"K1A\"\r\n").repeated(16));
    fileWindow(f, "nAbrir", &LogbookCommands::abreWindow, "Command1", u"base.LBR"_s);
    add(f, u"EA4ZZ"_s);
    f.app.reset();
    writeFile(f.path(u"base.LBR"_s), "1\r\n" + QByteArray("\"K1B\"\r\n").repeated(16)); // same size, other bytes
    f.fakes.messages.choices = {0};
    f.start();
    const QList<QStringList> fresh = f.cells();
    f.app->recovery().offerRecovery();
    QCOMPARE(f.cells(), fresh);
    QCOMPARE(f.fakes.messages.asked.size(), 2);
    QVERIFY2(f.fakes.messages.asked.at(1).text.contains(u"cambió"_s), qPrintable(f.fakes.messages.asked.at(1).text));
    QVERIFY(!QFileInfo::exists(f.path(kJournal)));
    QCOMPARE(asideFiles(f).size(), 1);
}

void TestRecovery::answeringNoSetsTheJournalAside()
{
    AppFixture f;
    add(f, u"EA4ZZ"_s);
    const QByteArray journal = readAll(f.path(kJournal));
    crashAndRestart(f, 1);
    QCOMPARE(f.libro().Rows(), 1);
    QVERIFY(!QFileInfo::exists(f.path(kJournal)));
    const QStringList aside = asideFiles(f);
    QCOMPARE(aside.size(), 1);
    QCOMPARE(readAll(f.path(aside.at(0))), journal); // set aside whole, never deleted
    QVERIFY(!f.app->log().isChanged());
}

// The contacts are still taken; the user is told once that they are not safe from a crash.
void TestRecovery::unwritableJournalIsSaidOnce()
{
    AppFixture f;
    QVERIFY(QDir(f.dir.path()).mkdir(kJournal)); // a folder where the file should go
    add(f, u"EA4ZZ"_s);
    add(f, u"EA5YY"_s);
    QCOMPARE(f.libro().Rows(), 3);
    QCOMPARE(f.fakes.messages.asked.size(), 1);
    QVERIFY(f.fakes.messages.asked.at(0).text.startsWith(u"No se puede escribir el registro de recuperación ("_s));
}

void TestRecovery::journalOfAnEarlierVersion_data()
{
    QTest::addColumn<QString>("journal");
    QTest::addColumn<QString>("importedAt"); // the local time the imported contact got
    QTest::newRow("XXH64, no byte naming it") << u"journal-v1.bin"_s << u"22:30:00"_s;
    QTest::newRow("XXH3 of the whole file") << u"journal-v2.bin"_s << u"01:30:00"_s;
}

// A journal an earlier version wrote, naming its files by an earlier hash, still rebuilds the
// log, and goes on in this version's kind: a step and an import more come back after another
// crash.
void TestRecovery::journalOfAnEarlierVersion()
{
    QFETCH(QString, journal);
    QFETCH(QString, importedAt);
    AppFixture f;
    QVERIFY(QFile::copy(QStringLiteral(ORVANEL_SOURCE_DIR "/tests/recovery/") + journal, f.path(kJournal)));
    writeFile(f.path(u"base.LBR"_s), "1\r\n" + QByteArray("\"K1A\"\r\n").repeated(16));
    writeFile(f.path(u"otro.adi"_s), "<CALL:4>K9ZZ <QSO_DATE:8>20260101 <TIME_ON:4>0130 <EOR>\n");
    const QString folder = QDir::currentPath();
    QDir::setCurrent(f.dir.path()); // it names its files by paths relative to the folder
    crashAndRestart(f);
    QCOMPARE(f.libro().Rows(), 4);
    for (const auto &[row, call] : {std::pair{1, u"K1A"_s}, {2, u"EA4ZZ"_s}, {3, u"K9ZZ"_s}})
        QCOMPARE(f.libro().TextMatrix(row, 1), call);
    QCOMPARE(f.libro().TextMatrix(3, 10), importedAt);
    QCOMPARE(f.frame().windowTitle(), u"Kavento versión 9.0 - base.LBR"_s);
    add(f, u"XE1A"_s);
    fileWindow(f, "mImportar", &LogbookCommands::importarWindow, "Abrir", u"otro.adi"_s);
    const State after = state(f);
    crashAndRestart(f);
    QDir::setCurrent(folder);
    QCOMPARE(state(f), after);
}

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
