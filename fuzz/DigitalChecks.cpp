#include "DigitalChecks.h"

#include "common/Cp1252.h"
#include "common/Utf8.h"
#include "net/DigitalContact.h"

using namespace Qt::StringLiterals;
using digital::Outcome;
using digital::Type;

QString checkDatagram(const CheckFiles &, const QByteArray &bytes)
{
    const digital::Read read = digital::readDatagram(bytes);
    if ((read.outcome == Outcome::Refused) == read.reason.isEmpty())
        return u"a reason given or missing: «%1»"_s.arg(read.reason);
    const digital::Read again = digital::readDatagram(bytes);
    if (again.outcome != read.outcome || again.reason != read.reason || again.message.type != read.message.type)
        return u"read twice, two answers"_s;
    if (read.outcome != Outcome::Read)
        return {};
    const Type type = read.message.type;
    if (type != Type::Heartbeat && type != Type::Status && type != Type::QsoLogged && type != Type::Close
        && type != Type::LoggedAdif)
        return u"read as type %1"_s.arg(quint32(type));
    const digital::Read shorter = digital::readDatagram(bytes.chopped(1));
    if (shorter.outcome == Outcome::Ignored || (shorter.outcome == Outcome::Read && shorter.message.type != type))
        return u"one byte shorter, another type"_s;
    if (type != Type::QsoLogged && type != Type::LoggedAdif)
        return {};
    const digital::ContactCells contact = digital::contactCells(read.message, {UtcConversion::fixedHours(0), QLocale::c()});
    if (!contact.ok)
        return contact.reason.isEmpty() ? u"a contact refused without a reason"_s : QString();
    const QString call = contact.cells.size() == 17 ? contact.cell(1).trimmed() : QString();
    if (call.isEmpty() || !cp1252::canEncode(call))
        return u"a contact of %1 cells, call «%2»"_s.arg(contact.cells.size()).arg(call);
    for (const std::string &cell : contact.cells) {
        if (!isValidUtf8(cell))
            return u"a cell that is not UTF-8"_s;
    }
    return {};
}
