#include "NetChecks.h"

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
