#include "AdifChecks.h"

#include "adif/AdifExport.h"
#include "adif/AdifImport.h"
#include "adif/AdifReaders.h"

#include <QFile>

#include <algorithm>
#include <string_view>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A character XML 1.0 cannot carry: ADX export refuses such a cell, and says so.
bool holdsNonXml(std::string_view s)
{
    for (size_t i = 0; i < s.size(); ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r')
            return true;
        if (b == 0xEF && i + 2 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0xBF
            && (static_cast<unsigned char>(s[i + 2]) & 0xFE) == 0xBE)
            return true;
    }
    return false;
}

QString shownCell(std::string_view cell)
{
    QString text = QString::fromUtf8(cell.data(), qsizetype(std::min<size_t>(cell.size(), 40)));
    for (QChar &c : text) {
        if (c.unicode() < 0x20)
            c = u'·';
    }
    return u"«"_s + text + u"»"_s;
}

QString sameRows(const GridStore &a, int64_t firstA, const GridStore &b, int64_t firstB, int64_t count)
{
    for (int64_t r = 0; r < count; ++r) {
        for (int c = 1; c < 17; ++c) {
            const std::string_view x = a.cell(firstA + r, c), y = b.cell(firstB + r, c);
            if (x != y)
                return u"row %1, column %2: %3 against %4"_s.arg(r + 1).arg(c).arg(shownCell(x), shownCell(y));
        }
    }
    return {};
}

AdifImportOptions importOptions()
{
    AdifImportOptions o;
    o.utc = UtcConversion::fixedHours(3);
    o.locale = QLocale(QLocale::Spanish, QLocale::Spain);
    return o;
}

} // namespace

QString checkAdif(const CheckFiles &files, const QByteArray &bytes)
{
    if (!files.writeInput(bytes))
        return u"could not write the input file"_s;
    // The file read in three parts on other threads, from bytes its last two choose.
    std::vector<qint64> splits;
    for (qsizetype k = 1; k <= 2 && k <= bytes.size(); ++k)
        splits.push_back(bytes.size() * static_cast<unsigned char>(bytes.at(bytes.size() - k)) / 256);
    std::sort(splits.begin(), splits.end());
    const std::vector<qint64> usual = adif::setSplits(splits);
    const AdifRead read = importAdif(files.input(), u"entrada"_s, importOptions());
    adif::setSplits(usual);
    const AdifRead inMemory = importAdifBytes(bytes, u"entrada"_s, importOptions());
    if (read.ok != inMemory.ok)
        return u"from the file ok=%1, from memory ok=%2: %3"_s.arg(read.ok).arg(inMemory.ok).arg(read.error + inMemory.error);
    if (!read.ok) {
        if (read.error.isEmpty() || !read.error.contains(u"«entrada»"_s))
            return u"refused without a message naming the file: "_s + read.error;
        // A file of records none of which is a contact has no line at fault.
        const bool noContacts = read.error.contains(u"no contiene contactos"_s);
        if (!noContacts && (read.line < 1 || !read.error.contains(QString::number(read.line))))
            return u"refused without the line: "_s + read.error;
        if (read.rows.rows() != 0)
            return u"refused but gave %1 rows"_s.arg(read.rows.rows());
        if (read.line != inMemory.line || read.error != inMemory.error)
            return u"refused at line %1 from the file, %2 from memory: %3 / %4"_s.arg(read.line).arg(inMemory.line).arg(read.error, inMemory.error);
        return {};
    }
    const int64_t n = read.rows.rows();
    if (inMemory.rows.rows() != n)
        return u"%1 rows from the file, %2 from memory"_s.arg(n).arg(inMemory.rows.rows());
    if (QString fault = sameRows(read.rows, 0, inMemory.rows, 0, n); !fault.isEmpty())
        return u"file and memory differ at "_s + fault;
    if (read.hash != inMemory.hash || read.size != bytes.size())
        return u"the hash or the size of the bytes read differ"_s;
    if (read.leftOut != inMemory.leftOut || read.firstWithoutCall != inMemory.firstWithoutCall
        || read.withoutCall != inMemory.withoutCall || read.firstUnstorable != inMemory.firstUnstorable
        || read.unstorable != inMemory.unstorable)
        return u"file and memory found different fields left out, rows without a call or cells"_s;

    // The contacts as a table, written out and read back.
    GridStore table(17);
    std::string_view heading[17] = {"Nº", "Indicativo"};
    table.appendRow(heading, 17);
    for (int64_t r = 0; r < n; ++r) {
        std::string_view cells[17];
        read.rows.rowCells(r, cells);
        table.appendRow(cells, 17);
    }
    bool nonXml = false;
    for (int64_t r = 1; r <= n && !nonXml; ++r) {
        for (int c = 1; c < 17 && !nonXml; ++c)
            nonXml = holdsNonXml(table.cell(r, c));
    }
    for (const bool adx : {false, true}) {
        AdifExportOptions out;
        out.adx = adx;
        out.utc = UtcConversion::fixedHours(3);
        out.locale = importOptions().locale;
        out.created = QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), Qt::UTC);
        out.programVersion = u"1.0"_s;
        out.dxccOf = [](QStringView call) { return call.startsWith(u"EA") ? 281 : call.startsWith(u"LU") ? 100 : 0; };
        AdifExport report;
        const QByteArray written = adifBytes(table, out, &report);
        if (adx && nonXml) {
            if (report.ok || report.error.isEmpty())
                return u"ADX export of a cell XML cannot hold did not say why it failed"_s;
            continue;
        }
        if (!report.ok)
            return u"export failed: "_s + report.error;
        if (report.written != n)
            return u"%1 records written of %2"_s.arg(report.written).arg(n);
        if (!adx) {
            const AdifExport onDisk = exportAdif(table, files.output(), u"salida"_s, out);
            if (!onDisk.ok || readFile(files.output()) != written)
                return u"the file written differs from the bytes in memory: "_s + onDisk.error;
        }
        const AdifRead back = importAdifBytes(written, u"salida"_s, importOptions());
        if (!back.ok)
            return u"%1 written back is refused: %2"_s.arg(adx ? u"ADX"_s : u"ADI"_s, back.error);
        if (back.rows.rows() != n)
            return u"%1 rows read back from %2, not %3"_s.arg(back.rows.rows()).arg(adx ? u"ADX"_s : u"ADI"_s).arg(n);
        if (QString fault = sameRows(table, 1, back.rows, 0, n); !fault.isEmpty())
            return (adx ? u"ADX round trip: "_s : u"ADI round trip: "_s) + fault;
        if (!back.leftOut.empty())
            return u"Orvanel's own file has fields left out: "_s + back.leftOut.front().first;
    }
    return {};
}
