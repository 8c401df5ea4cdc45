// The date and time texts written by hand must be, byte for byte, what Qt writes for the same
// locale: the table, the form and a reopened file all show these texts.
#include "common/DateTimeTexts.h"
#include "common/LocalDateTime.h"

#include <QtTest>

class TestLocalTexts : public QObject
{
    Q_OBJECT
private slots:
    void sameAsQtInEveryLocale();
};

void TestLocalTexts::sameAsQtInEveryLocale()
{
    // Every month and weekday, the years a two-digit field cuts, and years outside four digits.
    QList<QDate> dates = {QDate(1999, 12, 31), QDate(2000, 1, 2), QDate(1, 1, 1), QDate(10000, 1, 1)};
    for (int month = 1; month <= 12; ++month)
        dates << QDate(2024, month, month + 10);
    const QTime times[] = {QTime(0, 0, 0), QTime(9, 5, 7), QTime(12, 0, 59), QTime(13, 45, 0), QTime(23, 59, 59)};
    QStringList fast;
    const auto locales = QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    for (const QLocale &locale : locales) {
        const localtext::DateTimeTexts texts(locale);
        if (texts.fastDate() && texts.fastTime())
            fast << locale.name();
        for (const QDate &date : dates) {
            std::string mine;
            texts.appendDate(date, mine);
            QCOMPARE(QString::fromStdString(mine), localtext::shortDate(QDateTime(date, QTime(12, 0)), locale));
        }
        for (const QTime &time : times) {
            std::string mine;
            texts.appendTime(time, mine);
            QCOMPARE(QString::fromStdString(mine), localtext::longTime(QDateTime(QDate(2001, 2, 12), time), locale));
        }
    }
    // The locales the program's users have: the short path must be the one they take.
    for (const char *name : {"es_ES", "es_AR", "en_US", "en_GB", "de_DE", "C"})
        QVERIFY2(fast.contains(QLocale(QString::fromLatin1(name)).name()), name);
}

QTEST_GUILESS_MAIN(TestLocalTexts)
#include "tst_localtexts.moc"
