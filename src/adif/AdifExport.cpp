#include "AdifExport.h"

#include "AdifWriters.h"
#include "ContactMapping.h"
#include "common/FileErrors.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <vector>

namespace {

// A cell that an ADX file cannot carry, named the way the user finds it in the table.
QString unstorable(const GridStore &table, const QString &name, int64_t row, int col, std::string_view value,
                   size_t byte)
{
    const QString before = QString::fromUtf8(value.data(), qsizetype(byte));
    const QString text = QString::fromUtf8(value.data(), qsizetype(value.size()));
    const std::string_view callBytes = table.cell(row, adif::Call);
    const QString call = QString::fromUtf8(callBytes.data(), qsizetype(callBytes.size()));
    const std::string_view headingBytes = table.cell(0, col);
    QString heading = QString::fromUtf8(headingBytes.data(), qsizetype(headingBytes.size()));
    if (heading.isEmpty())
        heading = QString::number(col);
    const QString contact = call.isEmpty()
                                ? QStringLiteral("el contacto de la fila %1").arg(row)
                                : QStringLiteral("el contacto de la fila %1 (%2)").arg(QString::number(row), call);
    return QStringLiteral("No se pudo exportar el archivo %1: %2, columna %3, contiene el carácter %4, que un "
                          "archivo ADX no admite. Cámbielo, o exporte en formato ADI.")
        .arg(quotedName(name), contact, quotedName(heading), describeCharacter(text, before.size()));
}

// Every contact through the writer; false with report.error set when a cell cannot go into
// the file (the device's own failures are the caller's to report).
bool writeContacts(const GridStore &table, QIODevice &device, const AdifExportOptions &options,
                   const QString &name, AdifExport &report)
{
    const auto writer = options.adx ? adif::makeAdxWriter(device) : adif::makeAdiWriter(device);
    writer->header({options.created, options.programVersion});
    adif::ContactEncoder encoder({options.utc, options.locale, options.dxccOf});
    adif::Fields fields;
    // Room for every column of the store, however many; the contact's are the first 17.
    std::vector<std::string_view> cells(size_t(std::max(table.cols(), adif::kColumns)));
    for (int64_t row = 1; row < table.rows(); ++row) {
        table.rowCells(row, cells.data());
        if (options.adx) {
            for (int c = 1; c < adif::kColumns; ++c) {
                const size_t bad = adif::firstNonXmlByte(cells[size_t(c)]);
                if (bad != std::string_view::npos) {
                    report.error = unstorable(table, name, row, c, cells[size_t(c)], bad);
                    return false;
                }
            }
        }
        encoder.encode(cells.data(), fields);
        writer->record(fields);
        ++report.written;
        if (encoder.timeUnclear())
            ++report.unclearTimes;
        if (!adif::ContactEncoder::complete(fields)) {
            if (report.firstIncomplete.size() < 5)
                report.firstIncomplete.push_back(row);
            ++report.incomplete;
        }
    }
    if (!writer->finish() && report.error.isEmpty())
        report.error = QStringLiteral("no se pudo escribir");
    return true;
}

} // namespace

QByteArray adifBytes(const GridStore &table, const AdifExportOptions &options, AdifExport *report)
{
    AdifExport local;
    AdifExport &r = report ? *report : local;
    r = AdifExport();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!writeContacts(table, buffer, options, QStringLiteral("(memoria)"), r)) {
        r.written = 0;
        return {};
    }
    buffer.close();
    r.ok = true;
    return bytes;
}

AdifExport exportAdif(const GridStore &table, const QString &path, const QString &shownName,
                      const AdifExportOptions &options)
{
    const QString name = shownName.isEmpty() ? path : shownName;
    AdifExport report;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        report.error = QStringLiteral("No se pudo exportar el archivo %1: %2.")
                           .arg(quotedName(name), writeReason(path, file.errorString()));
        return report;
    }
    if (!writeContacts(table, file, options, name, report)) {
        file.cancelWriting();
        report.written = 0;
        return report;
    }
    // The device's error, if any, is the one commit() reports; the old file stays as it was.
    if (!file.commit()) {
        report.error = QStringLiteral("No se pudo exportar el archivo %1: %2.")
                           .arg(quotedName(name), writeReason(path, file.errorString()));
        report.written = 0;
        return report;
    }
    report.error.clear();
    report.ok = true;
    return report;
}
