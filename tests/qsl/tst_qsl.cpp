// Confirmations matched to the log, and the QSL labels: their places on the sheets, their
// order and words in a printed PDF, and the marks both leave as one step of the history.
#include "AppFixture.h"
#include "FileHelpers.h"
#include "dxcc/CallIndex.h"
#include "history/ContactLog.h"
#include "qsl/ConfirmationCommands.h"
#include "qsl/LabelCommands.h"
#include "qsl/LabelSheet.h"
#include "ui/FormWindow.h"
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTimeZone>

using namespace Qt::StringLiterals;

namespace {
// ADI records from "NAME=value" fields, after a header.
QByteArray adi(const QList<QStringList> &records)
{
    QByteArray out = "Informe de confirmaciones\n<PROGRAMID:4>LoTW <EOH>\n";
    for (const QStringList &record : records) {
        for (const QString &field : record) {
            const QByteArray name = field.section(u'=', 0, 0).toUtf8(), value = field.section(u'=', 1).toUtf8();
            out += '<' + name + ':' + QByteArray::number(value.size()) + '>' + value + ' ';
        }
        out += "<EOR>\n";
    }
    return out;
}

QStringList column(const GridModel &table, int col)
{
    QStringList cells;
    for (int r = 1; r < table.Rows(); ++r)
        cells << table.TextMatrix(r, col);
    return cells;
}
} // namespace

class TestQsl : public QObject
{
    Q_OBJECT

private slots:
    void confirmationsMarkTheMatchingContacts()
    {
        AppFixture f;
        f.app->variables().utc = UtcConversion::fixedHours(3); // the log is kept three hours behind UTC
        // Call, local date and time, frequency, mode, "Recibida"; what the imports should leave.
        const QStringList log[] = {
            {u"K1ABC"_s, u"2023-03-10"_s, u"09:00"_s, u"14.200"_s, u"SSB"_s, u"NO"_s},     // SI: 30 min to the record
            {u"K1ABC"_s, u"2023-03-10"_s, u"10:00"_s, u"7.030"_s, u"CW"_s, u"NO"_s},       // NO: 30 min 1 s
            {u"JA1XYZ"_s, u"2023-03-10"_s, u"22:50"_s, u"21.074"_s, u"DIGIMODOS"_s, u"NO"_s}, // SI: next UTC day
            {u"G4XYZ/P"_s, u"2023-03-11"_s, u"08:00"_s, u"3.700"_s, u"SSB"_s, u"NO"_s},    // SI: record without /P
            {u"F5ABC"_s, u"2023-03-11"_s, u"08:00"_s, u"3.760"_s, u"SSB"_s, u"NO"_s},      // NO: the record has /P
            {u"W1AW"_s, u"2023-03-12"_s, u"09:00"_s, u"14.025"_s, u"CW"_s, u"NO"_s},       // NO: the other is nearer
            {u"w1aw"_s, u"2023-03-21"_s, u"19:20"_s, u"14.030"_s, u"CW"_s, u"NO"_s},       // SI, once mended to 12th 09:20
            {u"VK2ABC"_s, u"2023-03-12"_s, u"05:00"_s, u"28.500"_s, u"SSB"_s, u"SI"_s},    // SI already
            {u"PY2AA"_s, u"2023-03-12"_s, u"10:00"_s, u"14.250"_s, u"SSB"_s, u"NO"_s},     // NO: QSL_RCVD N
        };
        for (const QStringList &c : log)
            f.app->log().addContact({c[0], u"Nombre"_s, {}, {}, {}, {}, {}, u"59"_s, c[1], c[2], c[3], c[4],
                                     u"BURO"_s, u"NO"_s, c[5], {}});
        f.app->calls().rowsOf(u"W1AW"); // the index built, then the mended date and time must reach it
        f.app->log().setCells({{7, 9, u"2023-03-12"_s}}, u"Fecha"_s);
        f.app->log().setCells({{7, 10, u"09:20"_s}}, u"Hora"_s);
        const QList<QStringList> before = f.cells();
        QVERIFY(writeFile(f.path(u"lotwreport.adi"_s), adi({
            {u"CALL=K1ABC"_s, u"BAND=20M"_s, u"MODE=SSB"_s, u"SUBMODE=USB"_s, u"QSO_DATE=20230310"_s, u"TIME_ON=123000"_s, u"QSL_RCVD=Y"_s, u"APP_LoTW_MODEGROUP=PHONE"_s},
            {u"CALL=K1ABC"_s, u"BAND=40M"_s, u"MODE=CW"_s, u"QSO_DATE=20230310"_s, u"TIME_ON=133001"_s, u"QSL_RCVD=Y"_s},
            {u"CALL=JA1XYZ"_s, u"BAND=15M"_s, u"MODE=FT8"_s, u"QSO_DATE=20230311"_s, u"TIME_ON=0155"_s, u"QSL_RCVD=Y"_s},
            {u"CALL=F5ABC/P"_s, u"BAND=80M"_s, u"MODE=SSB"_s, u"QSO_DATE=20230311"_s, u"TIME_ON=1100"_s, u"QSL_RCVD=Y"_s},
            {u"CALL=W1AW"_s, u"FREQ=14.0255"_s, u"MODE=CW"_s, u"QSO_DATE=20230312"_s, u"TIME_ON=1215"_s, u"QSL_RCVD=Y"_s},
            {u"CALL=VK2ABC"_s, u"BAND=10M"_s, u"MODE=SSB"_s, u"QSO_DATE=20230312"_s, u"TIME_ON=0800"_s, u"QSL_RCVD=Y"_s},
            {u"CALL=PY2AA"_s, u"BAND=20M"_s, u"MODE=SSB"_s, u"QSO_DATE=20230312"_s, u"TIME_ON=1300"_s, u"QSL_RCVD=N"_s},
        }) + "<APP_LoTW_EOF>\n"));
        // eQSL's inbox: the sender's view, no QSL_RCVD. A second card for K1ABC finds it marked.
        QVERIFY(writeFile(f.path(u"inbox.adi"_s), adi({
            {u"CALL=G4XYZ"_s, u"BAND=80m"_s, u"MODE=SSB"_s, u"SUBMODE=LSB"_s, u"QSO_DATE=20230311"_s, u"TIME_ON=1105"_s, u"QSL_SENT=Y"_s, u"QSL_SENT_VIA=E"_s},
            {u"CALL=ZL1ZZZ"_s, u"BAND=20m"_s, u"MODE=SSB"_s, u"QSO_DATE=20230312"_s, u"TIME_ON=0700"_s, u"QSL_SENT=Y"_s, u"QSL_SENT_VIA=E"_s},
            {u"CALL=k1abc"_s, u"BAND=20m"_s, u"MODE=SSB"_s, u"QSO_DATE=20230310"_s, u"TIME_ON=1210"_s, u"QSL_SENT=Y"_s, u"QSL_SENT_VIA=E"_s},
        })));

        ConfirmationCommands &c = f.app->confirmations();
        f.action("mConfirmaciones")->trigger();
        QVERIFY(c.window()->isVisible());
        QCOMPARE(c.window()->focusWidget(), c.window()->lineEdit(u"Archivo"_s));
        QTest::keyClick(c.window()->lineEdit(u"Archivo"_s), Qt::Key_Return); // "lotwreport.adi" is there already
        QVERIFY(!c.window()->isVisible());
        f.fakes.messages.choices = {1}; // "Ver los no encontrados"
        f.action("mConfirmaciones")->trigger();
        c.window()->lineEdit(u"Archivo"_s)->setText(u"inbox.adi"_s);
        c.window()->button(u"Importar"_s)->click();

        QCOMPARE(f.fakes.messages.asked.size(), 2);
        QCOMPARE(f.fakes.messages.asked[0].text, u"Confirmaciones de «lotwreport.adi»:\nRegistros leídos: 7.\n"
                                                  u"Contactos marcados como QSL recibida: 3.\nYa estaban marcados: 1.\nRegistros sin contacto en el "
                                                  u"libro: 2.\nRegistros que no son confirmaciones (QSL_RCVD distinto de Y): 1."_s);
        QCOMPARE(f.fakes.messages.asked[0].choices, (QStringList{u"Aceptar"_s, u"&Ver los no encontrados"_s}));
        QVERIFY(f.fakes.messages.asked[1].text.startsWith(u"Confirmaciones de «inbox.adi»:\nRegistros leídos: 3.\n"
                                                           u"Contactos marcados como QSL recibida: 1.\nYa estaban marcados: 1.\nRegistros sin "
                                                           u"contacto en el libro: 1."_s));
        const QStringList marked{u"SI"_s, u"NO"_s, u"SI"_s, u"SI"_s, u"NO"_s, u"NO"_s, u"SI"_s, u"SI"_s, u"NO"_s};
        QCOMPARE(column(f.libro(), 15), marked);
        QList<QStringList> changed = f.cells();
        for (int r = 1; r < changed.size(); ++r)
            changed[r][15] = before[r][15];
        QCOMPARE(changed, before); // nothing but "Recibida"
        const QString unmatched = c.unmatchedWindow()->control<QPlainTextEdit>(u"Lista"_s)->toPlainText();
        QVERIFY2(c.unmatchedWindow()->isVisible() && unmatched.contains(u"ZL1ZZZ       2023-03-12 07:00 20m    SSB"_s),
                 qPrintable(unmatched));

        f.app->log().undo(); // each file is one step
        QCOMPARE(column(f.libro(), 15).count(u"SI"_s), 4);
        f.app->log().undo();
        QCOMPARE(f.cells(), before);
    }

    // Marks by the hundred reach the table as one change: the call index must still see each
    // of them, and their undo, or a second import would mark them again.
    void manyMarksReachTheIndex()
    {
        AppFixture f;
        f.app->variables().utc = UtcConversion::fixedHours(0);
        QList<QStringList> records;
        for (int i = 0; i < 100; ++i) {
            const QString call = u"K%1A%2"_s.arg(i / 26).arg(QChar(u'A' + i % 26));
            f.app->log().addContact({call, {}, {}, {}, {}, {}, {}, u"59"_s, u"2023-03-10"_s, u"10:00"_s, u"14.020"_s,
                                     u"CW"_s, u"BURO"_s, u"NO"_s, u"NO"_s, {}});
            records << QStringList{u"CALL="_s + call, u"BAND=20M"_s, u"MODE=CW"_s, u"QSO_DATE=20230310"_s,
                                   u"TIME_ON=1000"_s, u"QSL_RCVD=Y"_s};
        }
        f.app->calls().rowsOf(u"K0AA");
        QVERIFY(writeFile(f.path(u"lotwreport.adi"_s), adi(records)));
        const auto import = [&f] {
            f.action("mConfirmaciones")->trigger();
            QTest::keyClick(f.app->confirmations().window()->lineEdit(u"Archivo"_s), Qt::Key_Return);
            return f.fakes.messages.asked.takeLast().text.section(u'\n', 2, 3);
        };
        const QString all = u"Contactos marcados como QSL recibida: 100.\nYa estaban marcados: 0."_s;
        QCOMPARE(import(), all);
        QCOMPARE(import(), u"Contactos marcados como QSL recibida: 0.\nYa estaban marcados: 100."_s);
        f.app->log().undo();
        QCOMPARE(column(f.libro(), 15), QStringList(100, u"NO"_s));
        QCOMPARE(import(), all);
    }

    // With the system's time zone the offset is the one in force on the contact's own date:
    // an hour more in summer than in winter in Madrid.
    void confirmationsFollowTheZoneOfTheDate()
    {
        AppFixture f;
        f.app->variables().utc = UtcConversion::zone(QTimeZone("Europe/Madrid"));
        for (const char *date : {"2023-01-10", "2023-07-10"})
            f.app->log().addContact({u"EA4ABC"_s, {}, {}, {}, {}, {}, {}, u"59"_s, QString::fromLatin1(date), u"14:00"_s,
                                     u"14.200"_s, u"SSB"_s, u"BURO"_s, u"NO"_s, u"NO"_s, {}});
        f.app->calls().rowsOf(u"EA4ABC");
        // 13:00 and 12:00 UTC: each record 25 minutes after, 35 before the other offset's hour.
        QVERIFY(writeFile(f.path(u"lotwreport.adi"_s), adi({
            {u"CALL=EA4ABC"_s, u"BAND=20M"_s, u"MODE=SSB"_s, u"QSO_DATE=20230110"_s, u"TIME_ON=132500"_s, u"QSL_RCVD=Y"_s},
            {u"CALL=EA4ABC"_s, u"BAND=20M"_s, u"MODE=SSB"_s, u"QSO_DATE=20230710"_s, u"TIME_ON=122500"_s, u"QSL_RCVD=Y"_s},
        })));
        f.action("mConfirmaciones")->trigger();
        QTest::keyClick(f.app->confirmations().window()->lineEdit(u"Archivo"_s), Qt::Key_Return);
        QCOMPARE(column(f.libro(), 15), (QStringList{u"SI"_s, u"SI"_s}));
    }

    void labelsFillTheSheetsFromTheStart_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QRectF>("last"); // mm, as the maker of the sheet gives it
        QTest::newRow("A4 24, one") << int(SheetKind::A4By24) << 1 << 1 << 1 << QRectF(0, 0.5, 70, 37);
        QTest::newRow("A4 24, a full sheet") << int(SheetKind::A4By24) << 24 << 1 << 1 << QRectF(140, 259.5, 70, 37);
        QTest::newRow("A4 24, from the last") << int(SheetKind::A4By24) << 2 << 24 << 2 << QRectF(0, 0.5, 70, 37);
        QTest::newRow("A4 21, from 20") << int(SheetKind::A4By21) << 5 << 20 << 2 << QRectF(140, 0.45, 70, 42.3);
        QTest::newRow("Letter 30, one over") << int(SheetKind::LetterBy30) << 31 << 1 << 2 << QRectF(4.7625, 12.7, 66.675, 25.4);
        QTest::newRow("Letter 30, start past the end")
            << int(SheetKind::LetterBy30) << 3 << 99 << 2 << QRectF(74.6125, 12.7, 66.675, 25.4);
    }

    void labelsFillTheSheetsFromTheStart()
    {
        QFETCH(int, kind);
        QFETCH(int, count);
        QFETCH(int, start);
        const LabelSheet sheet = sheetOf(SheetKind(kind));
        const std::vector<LabelPlace> places = placeLabels(sheet, count, start);
        QCOMPARE(int(places.size()), count);
        QTEST(places.back().page + 1, "pages");
        const auto near = [](const QRectF &a, const QRectF &b) {
            return std::abs(a.x() - b.x()) + std::abs(a.y() - b.y()) + std::abs(a.width() - b.width())
                       + std::abs(a.height() - b.height()) < 1e-6;
        };
        QFETCH(QRectF, last);
        QVERIFY(near(places.back().rect, last));
        const QRectF paper(QPointF(0, 0), QPageSize(sheet.page).size(QPageSize::Millimeter));
        for (size_t i = 0; i < places.size(); ++i) {
            QVERIFY(paper.contains(places[i].rect));
            QVERIFY(i == 0 || places[i].page > places[i - 1].page || !places[i].rect.intersects(places[i - 1].rect));
        }
    }

    void labelsPrintedToPdfAndMarkedSent()
    {
        AppFixture f(false);
        QFile::copy(qEnvironmentVariable("ORVANEL_SOURCE_DIR") + u"/data/cty.csv"_s, f.path(u"cty.csv"_s));
        f.start();
        f.app->variables().utc = UtcConversion::fixedHours(3);
        // Call, route, "Enviada", "Recibida"; the first two cross midnight UTC.
        const QStringList log[] = {
            {u"K1ABC"_s, u"BURO"_s, u"NO"_s, u"NO"_s},    {u"DL1AA"_s, u"EA4URE"_s, u"NO"_s, u"SI"_s},
            {u"W1AW"_s, u"BURO"_s, u"NO"_s, u"NO"_s},     {u"JA1XYZ"_s, u"DIRECTA"_s, u"NO"_s, u"NO"_s},
            {u"EA1AA"_s, u"buro"_s, u"NO"_s, u"NO"_s},    {u"EA2BB"_s, u"BURO"_s, u"SI"_s, u"NO"_s},
        };
        for (const QStringList &c : log)
            f.app->log().addContact({c[0], {}, {}, {}, {}, {}, {}, u"59"_s, u"2001-02-11"_s, u"22:52:30"_s,
                                     u"14.200"_s, u"SSB"_s, c[1], c[2], c[3], {}});
        // By the bureau the card goes to (Spain's for DL1AA's manager), then by call sign.
        QStringList order;
        const ContactClock clock(QLocale::c(), UtcConversion::fixedHours(3));
        for (const QslLabel &l : labelsToSend(f.libro(), f.app->calls().resolver(), clock))
            order << l.to + u' ' + l.via;
        QCOMPARE(order, (QStringList{u"EA1AA "_s, u"DL1AA EA4URE"_s, u"K1ABC "_s, u"W1AW "_s}));

        f.action("mEtiquetas")->trigger();
        FormWindow *window = f.app->labels().window();
        window->lineEdit(u"Inicio"_s)->setText(u"23"_s); // two on the first sheet, two on the next
        f.fakes.messages.choices = {0};       // "Sí" to marking them sent
        window->button(u"GuardarPdf"_s)->click();
        QCOMPARE(f.fakes.messages.asked.last().text, u"¿Marcar estos 4 contactos como QSL enviada?"_s);
        QCOMPARE(column(f.libro(), 14), (QStringList{u"SI"_s, u"SI"_s, u"SI"_s, u"NO"_s, u"SI"_s, u"SI"_s}));
        f.app->log().undo();
        QCOMPARE(column(f.libro(), 14), (QStringList{u"NO"_s, u"NO"_s, u"NO"_s, u"NO"_s, u"NO"_s, u"SI"_s}));

        QProcess text;
        text.start(u"pdftotext"_s, {f.path(u"etiquetas.pdf"_s), u"-"_s});
        QVERIFY(text.waitForFinished(30000));
        const QString output = QString::fromUtf8(text.readAllStandardOutput()), words = output.simplified();
        QCOMPARE(output.count(u'\f'), 2); // pages
        for (const QString &expected : {u"To: DL1AA via EA4URE"_s, u"To: K1ABC"_s, u"12-Feb-2001 01:52 20m SSB 59"_s,
                                        u"TNX QSL"_s, u"PSE QSL TNX"_s})
            QVERIFY2(words.contains(expected), qPrintable(words));
    }
};

QTEST_MAIN(TestQsl)
#include "tst_qsl.moc"
