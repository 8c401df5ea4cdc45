// Every input kept with the fuzz harnesses, the seeds and the inputs that once broke a reader,
// goes through the harnesses' own checks again on each test run: a fault once found stays fixed.
#include "ReaderChecks.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestSavedInputs : public QObject
{
    Q_OBJECT
private slots:
    void input_data()
    {
        QTest::addColumn<QString>("harness");
        QTest::addColumn<QString>("path");
        const QDir fuzz(QDir(qEnvironmentVariable("ORVANEL_SOURCE_DIR", QStringLiteral(ORVANEL_SOURCE_DIR))).filePath(u"fuzz"_s));
        int found = 0;
        // fuzz/<corpus|regressions>/<harness>/<input>
        for (const QString &kind : {u"corpus"_s, u"regressions"_s}) {
            QDirIterator it(fuzz.filePath(kind), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                const QString harness = it.fileInfo().dir().dirName();
                QTest::newRow(qPrintable(kind + u'/' + harness + u'/' + it.fileName())) << harness << path;
                ++found;
            }
        }
        // The seeds alone are dozens of files; finding none means the folder moved.
        QVERIFY2(found >= 20, qPrintable(u"the saved fuzz inputs were not found in "_s + fuzz.path()));
    }
    void input()
    {
        QFETCH(QString, harness);
        QFETCH(QString, path);
        const ReaderCheck check = readerCheck(harness);
        QVERIFY2(check, qPrintable(u"no check for the folder «%1»"_s.arg(harness)));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTemporaryDir dir;
        const QString fault = check(CheckFiles(dir.path()), file.readAll());
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }
};

QTEST_GUILESS_MAIN(TestSavedInputs)
#include "tst_savedinputs.moc"
