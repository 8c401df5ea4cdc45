#include "JournalChecks.h"
#include "history/PlainChrome.h"
#include "logbook/JournalFormat.h"
#include "logbook/JournalReplay.h"

using namespace Qt::StringLiterals;

namespace {

// Pieces of [length:u8][bytes]: the first the header, the rest frames.
QByteArray framed(const QByteArray &bytes)
{
    std::vector<std::string> pieces;
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype n = std::min<qsizetype>(uint8_t(bytes.at(at)), bytes.size() - at - 1);
        pieces.emplace_back(bytes.constData() + at + 1, size_t(n));
        at += 1 + n;
    }
    if (pieces.empty())
        return {};
    QByteArray file = journal::headerAround(pieces.front());
    std::string frames;
    for (size_t i = 1; i < pieces.size(); ++i)
        journal::appendFrame(frames, pieces[i]);
    return file + QByteArray::fromStdString(frames);
}

} // namespace

QString checkJournal(const CheckFiles &, const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {};
    const QByteArray file = bytes.at(0) & 1 ? framed(bytes.mid(1)) : bytes.mid(1);
    const journal::Read read = journal::read(file);
    if (!read.ok) {
        if (read.problem.isEmpty())
            return u"refused without saying why"_s;
        return {};
    }
    const journal::Read whole = journal::read(file.left(qsizetype(read.wholeBytes)));
    if (!whole.ok || whole.damagedEnd || whole.frames.size() != read.frames.size())
        return u"the whole frames do not read back alone: %1 of %2"_s.arg(whole.frames.size()).arg(read.frames.size());

    GridModel table(17, 1);
    PlainChrome chrome;
    TableEditor editor(table, chrome);
    const ReplayResult replay = replayJournal(read, editor, [](const FileSource &, GridStore &, QString &problem) {
        problem = u"no files here"_s;
        return false;
    });
    if (!replay.ok && replay.problem.isEmpty())
        return u"a replay refused without saying why"_s;
    if (table.Rows() < 1)
        return u"the heading row went"_s;
    return {};
}
