// A contact from a digital-mode program: its "QSO Logged" datagram read, its cells made as
// "Importar" would make them, the log asked whether it holds it already (the call-sign index:
// the rows of that call only), and the contact added with the recovery journal listening.
// Against BM_AddContactJournal, the same add as typed; like it, the step is queued for the disk,
// and writing it is BM_JournalSync's.
#include "LogGenerator.h"

#include "dxcc/CallIndex.h"
#include "dxcc/LoggedContacts.h"
#include "history/ContactLog.h"
#include "history/PlainChrome.h"
#include "logbook/RecoveryJournal.h"
#include "net/DigitalContact.h"

#include <QDataStream>
#include <benchmark/benchmark.h>

namespace {

// "QSO Logged" as WSJT-X sends it (schema 3), with every field.
QByteArray qsoLogged(const QString &call, const QDateTime &on)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    const auto text = [&out](const QString &s) { out << s.toUtf8(); };
    const auto moment = [&out](const QDateTime &t) {
        out << qint64(t.date().toJulianDay()) << quint32(t.time().msecsSinceStartOfDay()) << quint8(1);
    };
    out << quint32(0xadbccbda) << quint32(3) << quint32(5);
    text(QStringLiteral("WSJT-X"));
    moment(on.addSecs(45));
    text(call);
    text(QStringLiteral("FN42"));
    out << quint64(14074512);
    for (const char *field : {"FT8", "-10", "-15", "50", "", "Bob"})
        text(QString::fromUtf8(field));
    moment(on);
    for (const char *field : {"", "EA1XYZ", "IN80", "", ""})
        text(QString::fromUtf8(field));
    return bytes;
}

void BM_LogDatagram(benchmark::State &state)
{
    const int64_t contacts = state.range(0);
    const auto table = benchlog::contactTable(contacts);
    PlainChrome chrome;
    CallIndex index(*table);
    index.rebuild();
    LoggedContacts known(index, *table);
    auto log = std::make_unique<ContactLog>(*table, chrome);
    RecoveryJournal journal(benchlog::folder().filePath(QStringLiteral("journal-digital")));
    journal.setSyncEachStep(false);
    log->editor().setObserver(&journal);
    // Distinct contacts for a whole batch: one sent twice would be found and not added.
    constexpr int kBatch = 2048;
    std::vector<QByteArray> datagrams;
    const QDateTime start(QDate(2024, 3, 9), QTime(18, 0), Qt::UTC);
    for (int i = 0; i < kBatch; ++i)
        datagrams.push_back(qsoLogged(QStringLiteral("DG%1X").arg(i), start.addSecs(60 * i)));
    AdifImportOptions options;
    options.locale = QLocale(QLocale::system().name()); // as the program reads the programs' contacts
    int added = 0;
    for (auto _ : state) {
        if (added == kBatch) {
            state.PauseTiming();
            journal.sync();
            log.reset();
            table->setRows(int(contacts) + 1);
            index.rebuild();
            log = std::make_unique<ContactLog>(*table, chrome);
            log->editor().setObserver(&journal);
            added = 0;
            state.ResumeTiming();
        }
        const digital::Read read = digital::readDatagram(datagrams[size_t(added)]);
        digital::ContactCells contact = digital::contactCells(read.message, options);
        const std::vector<std::string_view> cells(contact.cells.begin(), contact.cells.end());
        if (!contact.ok || known.contains(cells.data()))
            return state.SkipWithError("the contact was not taken");
        log->addRow(std::move(contact.cells));
        ++added;
    }
    journal.end();
}
BENCHMARK(BM_LogDatagram)->Arg(10000)->Arg(1000000);

} // namespace
