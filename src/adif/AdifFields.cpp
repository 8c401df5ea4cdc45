#include "AdifFields.h"

#include <cstring>
#include <iterator>

namespace adif {
namespace {

constexpr std::string_view kFieldNames[kFieldCount] = {
    "CALL",    "QSO_DATE", "TIME_ON",      "NAME",    "NAME_INTL", "QTH",      "QTH_INTL",
    "ADDRESS", "ADDRESS_INTL", "STATE",    "RST_SENT", "FREQ",     "BAND",     "MODE",
    "SUBMODE", "QSL_SENT_VIA", "QSL_VIA",  "QSL_SENT", "QSL_RCVD", "COMMENT",  "COMMENT_INTL",
    "NOTES",   "NOTES_INTL",
};

constexpr std::string_view kAppNames[kColumns] = {
    "",     "INDICATIVO", "NOMBRE", "QTH",        "PROVINCIA", "CIUDAD", "CODIGO_POSTAL", "CASILLA", "RST",
    "FECHA", "HORA",      "FRECUENCIA", "MODO",   "VIA",       "ENVIADA", "RECIBIDA",     "COMENTARIO",
};

// Same letters, whatever their case; `upper` is upper case already.
bool sameName(std::string_view name, std::string_view upper)
{
    if (name.size() != upper.size())
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (c != upper[i])
            return false;
    }
    return true;
}

} // namespace

std::string_view fieldName(Field field)
{
    return kFieldNames[int(field)];
}

bool fieldOfName(std::string_view name, Field &field)
{
    // A first look at the length and the first letter rules out most names at once.
    for (int f = 0; f < kFieldCount; ++f) {
        const std::string_view known = kFieldNames[f];
        if (known.size() == name.size() && (name[0] | 0x20) == (known[0] | 0x20) && sameName(name, known)) {
            field = Field(f);
            return true;
        }
    }
    return false;
}

Field intlTwin(Field field)
{
    switch (field) {
    case Field::Name: return Field::NameIntl;
    case Field::Qth: return Field::QthIntl;
    case Field::Address: return Field::AddressIntl;
    case Field::Comment: return Field::CommentIntl;
    case Field::Notes: return Field::NotesIntl;
    default: return Field::Count;
    }
}

std::string_view columnAppName(int column)
{
    return column > 0 && column < kColumns ? kAppNames[column] : std::string_view();
}

int columnOfAppName(std::string_view name)
{
    for (int c = 1; c < kColumns; ++c) {
        if (sameName(name, kAppNames[c]))
            return c;
    }
    return 0;
}

} // namespace adif
