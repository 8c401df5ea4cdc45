#include "NetChecks.h"

#include "adif/BandTable.h"
#include "net/ClusterLines.h"
#include "net/FormFrequency.h"
#include "net/RigReply.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

// Every reply, or the reason the bytes broke the reader, as one line each.
QStringList rigOutcomes(const QByteArray &bytes, qsizetype piece, QString &fault)
{
    RigReplyReader reader;
    QStringList outcomes;
    for (qsizetype at = 0; at < bytes.size() && fault.isEmpty(); at += piece) {
        reader.add(QByteArrayView(bytes).sliced(at, std::min(piece, bytes.size() - at)));
        RigReply reply;
        QString reason;
        RigReplyReader::Next next;
        while ((next = reader.next(reply, reason)) == RigReplyReader::Next::Reply) {
            QString line = QString::fromLatin1(reply.command) + u" RPRT "_s + QString::number(reply.result);
            if (reply.values.size() > RigReplyReader::kMaxValues)
                fault = u"a block of %1 values"_s.arg(reply.values.size());
            for (const auto &[key, value] : reply.values) {
                line += u" | "_s + QString::fromLatin1(key) + u'=' + QString::fromLatin1(value);
                const qint64 hertz = rigHertz(value);
                const QString shown = formFrequency(hertz);
                if (hertz > qint64(1e12) || (hertz > 0) == shown.isEmpty())
                    fault = u"the frequency %1 read as %2 shown as «%3»"_s.arg(QString::fromLatin1(value)).arg(hertz).arg(shown);
                else if (hertz > 0 && qRound64(shown.toDouble() * 1e6) != hertz)
                    fault = u"%1 Hz shown as «%2»"_s.arg(hertz).arg(shown);
            }
            outcomes << line;
        }
        if (next == RigReplyReader::Next::Broken) {
            outcomes << u"broken: "_s + reason;
            break;
        }
        if (reader.buffered() > RigReplyReader::kMaxLine + piece)
            fault = u"%1 bytes kept waiting for a line end"_s.arg(reader.buffered());
    }
    return outcomes;
}

} // namespace

QString checkRigReplies(const CheckFiles &, const QByteArray &bytes)
{
    QString fault;
    const QStringList whole = rigOutcomes(bytes, std::max<qsizetype>(bytes.size(), 1), fault);
    // The same bytes as a socket might hand them over: a few at a time.
    const qsizetype piece = bytes.isEmpty() ? 1 : 1 + uchar(bytes.front()) % 7;
    const QStringList pieces = rigOutcomes(bytes, piece, fault);
    if (fault.isEmpty() && whole != pieces)
        fault = u"read at once: %1; in pieces of %2: %3"_s.arg(whole.join(u"; "_s)).arg(piece).arg(pieces.join(u"; "_s));
    return fault;
}

namespace {

QStringList clusterLines(const QByteArray &bytes, qsizetype piece)
{
    TelnetLines reader;
    QStringList lines;
    for (qsizetype at = 0; at < bytes.size(); at += piece)
        reader.add(QByteArrayView(bytes).sliced(at, std::min(piece, bytes.size() - at)), lines);
    lines << reader.pending();
    return lines;
}

QString spotText(const Spot &s)
{
    return QStringList{QString::number(s.hertz), s.spotter, s.call, s.comment, s.time, s.locator}.join(u'|');
}

} // namespace

QString checkClusterLines(const CheckFiles &, const QByteArray &bytes)
{
    const QStringList lines = clusterLines(bytes, std::max<qsizetype>(bytes.size(), 1));
    const qsizetype piece = bytes.isEmpty() ? 1 : 1 + uchar(bytes.front()) % 7;
    if (clusterLines(bytes, piece) != lines)
        return u"the lines differ when the bytes come %1 at a time"_s.arg(piece);
    for (const QString &line : lines) {
        if (line.size() > TelnetLines::kMaxLine + 1)
            return u"a line of %1 characters"_s.arg(line.size());
        for (QChar c : line) {
            if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0))
                return u"the control character %1 in «%2»"_s.arg(c.unicode()).arg(line.left(60));
        }
        Spot spot;
        if (!readSpot(line, spot))
            continue;
        if (bandOfFrequency(QStringView(formFrequency(spot.hertz))) < 0)
            return u"a spot in no band: «%1»"_s.arg(line);
        // Written out again, briefer: the frequency without zeros, single blanks.
        QString khz = QString::number(spot.hertz / 1000) + u'.' + QString::number(spot.hertz % 1000).rightJustified(3, u'0');
        while (khz.endsWith(u'0'))
            khz.chop(1);
        if (khz.endsWith(u'.'))
            khz.chop(1);
        QStringList words{u"DX de "_s + spot.spotter + u':' + khz, spot.call};
        if (!spot.comment.isEmpty())
            words << spot.comment;
        words << QString(spot.time).remove(u':') + u'Z';
        if (!spot.locator.isEmpty())
            words << spot.locator;
        Spot again;
        if (!readSpot(words.join(u' '), again) || spotText(again) != spotText(spot))
            return u"«%1» read as %2, written as «%3»"_s.arg(line, spotText(spot), words.join(u' '));
    }
    return {};
}
