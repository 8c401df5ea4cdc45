#include "common/Cp1252.h"

#include <QtTest>

#include <string>

using namespace Qt::StringLiterals;

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
    void appendKeepsWhatIsThere();
};

static std::string allBytes()
{
    std::string s;
    for (int b = 0; b < 256; ++b)
        s.push_back(char(b));
    return s;
}

void TestCp1252::everyByteRoundTrips()
{
    const std::string bytes = allBytes();

    const QString text = cp1252::toUnicode(bytes);
    QCOMPARE(text.size(), 256);
    qsizetype bad = 0;
    QCOMPARE(cp1252::fromUnicode(text, &bad), QByteArray(bytes.data(), 256));
    QCOMPARE(bad, qsizetype(-1));
    QVERIFY(cp1252::canEncode(text));

    // The UTF-8 path must agree with the QString path, checked with Qt's own UTF-8 decoder.
    std::string utf8;
    cp1252::appendAsUtf8(utf8, bytes);
    QCOMPARE(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())), text);
    std::string back;
    QVERIFY(cp1252::appendFromUtf8(back, utf8));
    QCOMPARE(back, bytes);
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
    const std::string bytes(1, char(byte));
    const QString text{QChar(char16_t(codePoint))};

    QCOMPARE(cp1252::toUnicode(bytes), text);
    QCOMPARE(cp1252::fromUnicode(text), QByteArray(bytes.data(), 1));

    const QByteArray utf8 = text.toUtf8();
    std::string got;
    cp1252::appendAsUtf8(got, bytes);
    QCOMPARE(QByteArray::fromStdString(got), utf8);
    std::string back;
    QVERIFY(cp1252::appendFromUtf8(back, std::string_view(utf8.constData(), size_t(utf8.size()))));
    QCOMPARE(back, bytes);
}

// The fast paths copy ASCII eight bytes at a time; a high byte at any position within or
// after such a word must still be converted.
void TestCp1252::asciiRunsAroundHighBytes()
{
    for (int before = 0; before <= 17; ++before) {
        for (int after = 0; after <= 9; ++after) {
            std::string bytes(size_t(before), 'a');
            bytes += "\xF1\x80";
            bytes += std::string(size_t(after), 'z');
            const QString expected = QString(before, u'a') + u"ñ€"_s + QString(after, u'z');

            QCOMPARE(cp1252::toUnicode(bytes), expected);
            std::string utf8;
            cp1252::appendAsUtf8(utf8, bytes);
            QCOMPARE(QByteArray::fromStdString(utf8), expected.toUtf8());
            std::string back;
            QVERIFY(cp1252::appendFromUtf8(back, utf8));
            QCOMPARE(back, bytes);
        }
    }
}

void TestCp1252::unencodableText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qsizetype>("firstBad");

    QTest::newRow("spanish") << u"Vía Año ‘x’ “y” €"_s
                             << QByteArray("V\xED""a A\xF1o \x91x\x92 \x93y\x94 \x80") << qsizetype(-1);
    QTest::newRow("cyrillic") << u"Ok Привет"_s << QByteArray("Ok ??????") << qsizetype(3);
    QTest::newRow("emoji is one character") << u"Hola 😀 ñ"_s << QByteArray("Hola ? \xF1") << qsizetype(5);
    QTest::newRow("lone high surrogate") << (u"a"_s + QChar(0xD800) + u"b"_s) << QByteArray("a?b")
                                         << qsizetype(1);
    QTest::newRow("lone low surrogate at end") << (u"ab"_s + QChar(0xDC00)) << QByteArray("ab?")
                                               << qsizetype(2);
    // U+0080 is a C1 control whose byte already stands for the euro sign.
    QTest::newRow("C1 control of a defined byte") << (u"x"_s + QChar(0x80)) << QByteArray("x?")
                                                  << qsizetype(1);
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
    const bool hasLoneSurrogate = QString::fromUtf8(text.toUtf8()) != text;
    if (!hasLoneSurrogate) {
        const QByteArray utf8 = text.toUtf8();
        std::string got;
        QCOMPARE(cp1252::appendFromUtf8(got, std::string_view(utf8.constData(), size_t(utf8.size()))),
                 firstBad < 0);
        QCOMPARE(QByteArray::fromStdString(got), bytes);
    }
}

void TestCp1252::malformedUtf8_data()
{
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ok");

    QTest::newRow("valid two-byte") << QByteArray("a\xC3\xB1") << QByteArray("a\xF1") << true;
    QTest::newRow("valid three-byte") << QByteArray("\xE2\x82\xAC!") << QByteArray("\x80!") << true;
    QTest::newRow("truncated at end") << QByteArray("a\xC3") << QByteArray("a?") << false;
    QTest::newRow("truncated three-byte") << QByteArray("\xE2\x82x") << QByteArray("?x") << false;
    QTest::newRow("stray continuation") << QByteArray("x\xBFy") << QByteArray("x?y") << false;
    QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << QByteArray("??") << false;
    QTest::newRow("overlong three-byte") << QByteArray("\xE0\x80\xAF") << QByteArray("???") << false;
    QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << QByteArray("???") << false;
    QTest::newRow("beyond U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << QByteArray("????") << false;
    QTest::newRow("invalid lead FF") << QByteArray("\xFF\xC3\xB1") << QByteArray("?\xF1") << false;
    QTest::newRow("lead then ASCII") << QByteArray("\xC3(ab") << QByteArray("?(ab") << false;
    QTest::newRow("four-byte character") << QByteArray("\xF0\x9F\x98\x80.") << QByteArray("?.") << false;
    QTest::newRow("long ASCII then bad")
            << QByteArray("0123456789abcdef\x80") << QByteArray("0123456789abcdef?") << false;
}

void TestCp1252::malformedUtf8()
{
    QFETCH(QByteArray, utf8);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);

    std::string got;
    QCOMPARE(cp1252::appendFromUtf8(got, std::string_view(utf8.constData(), size_t(utf8.size()))), ok);
    QCOMPARE(QByteArray::fromStdString(got), bytes);
}

void TestCp1252::appendKeepsWhatIsThere()
{
    std::string out = "ab";
    cp1252::appendAsUtf8(out, "\xEDz");
    cp1252::appendAsUtf8(out, "plain");
    cp1252::appendAsUtf8(out, {});
    QCOMPARE(QByteArray::fromStdString(out), u"abízplain"_s.toUtf8());

    std::string bytes = "<";
    QVERIFY(cp1252::appendFromUtf8(bytes, "\xC3\xAD"));
    QVERIFY(!cp1252::appendFromUtf8(bytes, "\xD0\x96"));
    QVERIFY(cp1252::appendFromUtf8(bytes, ">"));
    QCOMPARE(bytes, std::string("<\xED?>"));
}

QTEST_GUILESS_MAIN(TestCp1252)
#include "tst_cp1252.moc"
