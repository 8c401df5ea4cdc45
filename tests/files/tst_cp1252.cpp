// Windows-1252 both ways, through text and through the UTF-8 the grid keeps: every byte
// round-trips, defined characters are the code page's, and what it cannot hold becomes '?'.
#include "common/Cp1252.h"

#include <QtTest>

#include <string>

using namespace Qt::StringLiterals;

namespace {

// The UTF-8 paths append; each conversion here goes after a '<' that must stay in front.
QByteArray toUtf8(std::string_view bytes)
{
    std::string out = "<";
    cp1252::appendAsUtf8(out, bytes);
    return out[0] == '<' ? QByteArray::fromStdString(out.substr(1)) : QByteArray("lost what was there");
}

QByteArray fromUtf8(const QByteArray &utf8, bool *ok = nullptr)
{
    std::string out = "<";
    const bool converted = cp1252::appendFromUtf8(out, std::string_view(utf8.constData(), size_t(utf8.size())));
    if (ok)
        *ok = converted;
    return out[0] == '<' ? QByteArray::fromStdString(out.substr(1)) : QByteArray("lost what was there");
}

} // namespace

class TestCp1252 : public QObject
{
    Q_OBJECT

private slots:
    void everyByteRoundTrips();
    void knownCharacters_data();
    void knownCharacters();
    void asciiRunsAroundHighBytes();
    void unencodableText_data();
    void unencodableText();
    void malformedUtf8_data();
    void malformedUtf8();
};

void TestCp1252::everyByteRoundTrips()
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    const QString text = cp1252::toUnicode(std::string_view(bytes.constData(), 256));
    QCOMPARE(text.size(), 256);
    qsizetype bad = 0;
    QCOMPARE(cp1252::fromUnicode(text, &bad), bytes);
    QCOMPARE(bad, qsizetype(-1));
    QVERIFY(cp1252::canEncode(text));
    // The UTF-8 path must agree with the QString path, checked with Qt's own UTF-8 coder.
    const QByteArray utf8 = toUtf8(std::string_view(bytes.constData(), 256));
    QCOMPARE(QString::fromUtf8(utf8), text);
    bool ok = false;
    QCOMPARE(fromUtf8(utf8, &ok), bytes);
    QVERIFY(ok);
}

void TestCp1252::knownCharacters_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("codePoint");
    QTest::newRow("A") << 0x41 << 0x41;
    QTest::newRow("i acute") << 0xED << 0xED;
    QTest::newRow("n tilde") << 0xF1 << 0xF1;
    QTest::newRow("no-break space") << 0xA0 << 0xA0;
    QTest::newRow("y diaeresis") << 0xFF << 0xFF;
    QTest::newRow("euro") << 0x80 << 0x20AC;
    QTest::newRow("left single quote") << 0x91 << 0x2018;
    QTest::newRow("right single quote") << 0x92 << 0x2019;
    QTest::newRow("left double quote") << 0x93 << 0x201C;
    QTest::newRow("right double quote") << 0x94 << 0x201D;
    QTest::newRow("S caron") << 0x8A << 0x0160;
    QTest::newRow("trade mark") << 0x99 << 0x2122;
    QTest::newRow("Y diaeresis") << 0x9F << 0x0178;
    QTest::newRow("undefined 81") << 0x81 << 0x81;
    QTest::newRow("undefined 8D") << 0x8D << 0x8D;
    QTest::newRow("undefined 8F") << 0x8F << 0x8F;
    QTest::newRow("undefined 90") << 0x90 << 0x90;
    QTest::newRow("undefined 9D") << 0x9D << 0x9D;
}

void TestCp1252::knownCharacters()
{
    QFETCH(int, byte);
    QFETCH(int, codePoint);
    const QByteArray bytes(1, char(byte));
    const QString text{QChar(char16_t(codePoint))};
    QCOMPARE(cp1252::toUnicode(std::string_view(bytes.constData(), 1)), text);
    QCOMPARE(cp1252::fromUnicode(text), bytes);
    QCOMPARE(toUtf8(std::string_view(bytes.constData(), 1)), text.toUtf8());
    QCOMPARE(fromUtf8(text.toUtf8()), bytes);
}

// The fast paths copy ASCII eight bytes at a time; a high byte at any position within or
// after such a word must still be converted.
void TestCp1252::asciiRunsAroundHighBytes()
{
    for (int before = 0; before <= 17; ++before) {
        for (int after = 0; after <= 9; ++after) {
            const QByteArray bytes = QByteArray(before, 'a') + "\xF1\x80" + QByteArray(after, 'z');
            const QString expected = QString(before, u'a') + u"ñ€"_s + QString(after, u'z');
            const std::string_view view(bytes.constData(), size_t(bytes.size()));
            QCOMPARE(cp1252::toUnicode(view), expected);
            QCOMPARE(toUtf8(view), expected.toUtf8());
            QCOMPARE(fromUtf8(expected.toUtf8()), bytes);
        }
    }
}

void TestCp1252::unencodableText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qsizetype>("firstBad");
    QTest::newRow("spanish") << u"Vía Año ‘x’ “y” €"_s << QByteArray("V\xED""a A\xF1o \x91x\x92 \x93y\x94 \x80")
                             << qsizetype(-1);
    QTest::newRow("cyrillic") << u"Ok Привет"_s << QByteArray("Ok ??????") << qsizetype(3);
    QTest::newRow("emoji is one character") << u"Hola 😀 ñ"_s << QByteArray("Hola ? \xF1") << qsizetype(5);
    QTest::newRow("lone high surrogate") << (u"a"_s + QChar(0xD800) + u"b"_s) << QByteArray("a?b") << qsizetype(1);
    QTest::newRow("lone low surrogate at end") << (u"ab"_s + QChar(0xDC00)) << QByteArray("ab?") << qsizetype(2);
    // U+0080 is a C1 control whose byte already stands for the euro sign.
    QTest::newRow("C1 control of a defined byte") << (u"x"_s + QChar(0x80)) << QByteArray("x?") << qsizetype(1);
    QTest::newRow("first of several") << u"abcΩdefЖ"_s << QByteArray("abc?def?") << qsizetype(3);
}

void TestCp1252::unencodableText()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(qsizetype, firstBad);
    qsizetype bad = -2;
    QCOMPARE(cp1252::fromUnicode(text, &bad), bytes);
    QCOMPARE(bad, firstBad);
    QCOMPARE(cp1252::canEncode(text), firstBad < 0);
    // Lone surrogates cannot travel as UTF-8; the rest must match the QString path.
    if (QString::fromUtf8(text.toUtf8()) == text) {
        bool ok = false;
        QCOMPARE(fromUtf8(text.toUtf8(), &ok), bytes);
        QCOMPARE(ok, firstBad < 0);
    }
}

void TestCp1252::malformedUtf8_data()
{
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("valid two-byte") << QByteArray("a\xC3\xB1") << QByteArray("a\xF1");
    QTest::newRow("valid three-byte") << QByteArray("\xE2\x82\xAC!") << QByteArray("\x80!");
    QTest::newRow("truncated at end") << QByteArray("a\xC3") << QByteArray("a?");
    QTest::newRow("truncated three-byte") << QByteArray("\xE2\x82x") << QByteArray("?x");
    QTest::newRow("stray continuation") << QByteArray("x\xBFy") << QByteArray("x?y");
    QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << QByteArray("??");
    QTest::newRow("overlong three-byte") << QByteArray("\xE0\x80\xAF") << QByteArray("???");
    QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << QByteArray("???");
    QTest::newRow("beyond U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << QByteArray("????");
    QTest::newRow("invalid lead FF") << QByteArray("\xFF\xC3\xB1") << QByteArray("?\xF1");
    QTest::newRow("lead then ASCII") << QByteArray("\xC3(ab") << QByteArray("?(ab");
    QTest::newRow("four-byte character") << QByteArray("\xF0\x9F\x98\x80.") << QByteArray("?.");
    QTest::newRow("long ASCII then bad") << QByteArray("0123456789abcdef\x80") << QByteArray("0123456789abcdef?");
}

// Each character, or each malformed piece, gives one byte; any '?' makes the result false.
void TestCp1252::malformedUtf8()
{
    QFETCH(QByteArray, utf8);
    QFETCH(QByteArray, bytes);
    bool ok = false;
    QCOMPARE(fromUtf8(utf8, &ok), bytes);
    QCOMPARE(ok, !bytes.contains('?'));
}

QTEST_GUILESS_MAIN(TestCp1252)
#include "tst_cp1252.moc"
