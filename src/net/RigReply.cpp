#include "RigReply.h"
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
bool isNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool isName(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (char c : text) {
        if (!isNameChar(c) && c != ' ')
            return false;
    }
    return true;
}

bool isPrintable(QByteArrayView text)
{
    for (char c : text) {
        if (uchar(c) < 0x20 && c != '\t')
            return false;
    }
    return true;
}

// "RPRT -11" -> -11; false when the line is no result line.
bool resultOf(QByteArrayView line, int &result)
{
    if (!line.startsWith("RPRT "))
        return false;
    const QByteArrayView number = line.sliced(5);
    if (number.isEmpty() || number.size() > 6)
        return false;
    bool ok = false;
    result = number.toInt(&ok);
    return ok;
}
} // namespace

QByteArray RigReply::value(QByteArrayView key) const
{
    for (const auto &[k, v] : values) {
        if (k == key)
            return v;
    }
    return {};
}

void RigReplyReader::add(QByteArrayView bytes)
{
    if (!m_broken.isEmpty())
        return;
    if (m_used > 0) {
        m_buffer.remove(0, m_used);
        m_used = 0;
    }
    m_buffer.append(bytes);
}

void RigReplyReader::clear()
{
    m_buffer.clear();
    m_used = 0;
    m_block = {};
    m_inBlock = false;
    m_broken.clear();
}

RigReplyReader::Next RigReplyReader::broken(QString &reason, const QString &why)
{
    m_broken = why;
    m_buffer.clear();
    m_used = 0;
    reason = why;
    return Next::Broken;
}

RigReplyReader::Next RigReplyReader::next(RigReply &reply, QString &reason)
{
    if (!m_broken.isEmpty()) {
        reason = m_broken;
        return Next::Broken;
    }
    for (;;) {
        const qsizetype end = m_buffer.indexOf('\n', m_used);
        if (end < 0) {
            if (buffered() > kMaxLine + 1) // room for a CR before the LF
                return broken(reason, u"una línea de más de %1 caracteres"_s.arg(kMaxLine));
            return Next::Incomplete;
        }
        QByteArrayView line(m_buffer.constData() + m_used, end - m_used);
        m_used = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.size() > kMaxLine)
            return broken(reason, u"una línea de más de %1 caracteres"_s.arg(kMaxLine));
        if (!isPrintable(line))
            return broken(reason, u"caracteres de control en la respuesta"_s);
        int result = 0;
        if (resultOf(line, result)) {
            reply = m_inBlock ? std::move(m_block) : RigReply();
            reply.result = result;
            m_block = {};
            m_inBlock = false;
            return Next::Reply;
        }
        const qsizetype colon = line.indexOf(':');
        const QByteArrayView key = colon < 0 ? line : line.first(colon);
        if (!m_inBlock) {
            // The echo: the command's long name, a colon, then what was sent with it.
            if (colon < 0 || key.isEmpty() || !std::all_of(key.begin(), key.end(), isNameChar))
                return broken(reason, u"«%1» no es una respuesta de rigctld"_s.arg(QString::fromLatin1(line.first(std::min<qsizetype>(line.size(), 40)))));
            m_block.command = key.toByteArray();
            m_inBlock = true;
            continue;
        }
        if (colon < 0 || !isName(key) || m_block.values.size() >= kMaxValues)
            return broken(reason, u"«%1» no es un dato de rigctld"_s.arg(QString::fromLatin1(line.first(std::min<qsizetype>(line.size(), 40)))));
        m_block.values.emplace_back(key.toByteArray(), line.sliced(colon + 1).trimmed().toByteArray());
    }
}

qint64 rigHertz(QByteArrayView value)
{
    const qsizetype point = value.indexOf('.');
    const QByteArrayView whole = point < 0 ? value : value.first(point);
    const QByteArrayView fraction = point < 0 ? QByteArrayView() : value.sliced(point + 1);
    // Up to a terahertz; the fraction of a hertz rounds.
    if (whole.isEmpty() || whole.size() > 12 || fraction.size() > 12)
        return -1;
    qint64 hertz = 0;
    for (char c : whole) {
        if (c < '0' || c > '9')
            return -1;
        hertz = hertz * 10 + (c - '0');
    }
    for (char c : fraction) {
        if (c < '0' || c > '9')
            return -1;
    }
    if (!fraction.isEmpty() && fraction.front() >= '5')
        ++hertz;
    return hertz;
}

QString rigModeName(QByteArrayView value)
{
    if (value.isEmpty() || value.size() > 16)
        return {};
    for (char c : value) {
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-'))
            return {};
    }
    return QString::fromLatin1(value);
}

QString rigErrorText(int result)
{
    // hamlib's error codes (rig_errcode_e), the ones a working set-up meets.
    switch (result) {
    case -1: return u"parámetro no válido"_s;
    case -4: return u"orden no implementada para este equipo"_s;
    case -5: return u"el equipo no respondió a tiempo"_s;
    case -6: return u"error de comunicación con el equipo"_s;
    case -8: return u"error de protocolo con el equipo"_s;
    case -9: return u"el equipo rechazó la orden"_s;
    case -11: return u"función no disponible en este equipo"_s;
    case -20: return u"el equipo está apagado"_s;
    default: return u"error %1 de hamlib"_s.arg(result);
    }
}
