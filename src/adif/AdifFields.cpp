#include "AdifFields.h"

#include <cstring>
#include <iterator>

namespace adif {

bool sameLetters(std::string_view name, std::string_view upper)
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


} // namespace

std::string_view fieldName(Field field)
{
    return kFieldNames[int(field)];
}

namespace {

// The known names by length and first letter: a name read from a file is compared with the
// one or two that share both, not with every one.
struct NameIndex
{
    static constexpr size_t kLongest = 16;
    static constexpr int kShared = 4; // at most this many names share a length and a first letter
    int8_t first[kLongest + 1][26][kShared];

    NameIndex()
    {
        for (auto &bySize : first)
            for (auto &byLetter : bySize)
                for (int8_t &slot : byLetter)
                    slot = -1;
        for (int f = 0; f < kFieldCount; ++f) {
            const std::string_view name = kFieldNames[f];
            int8_t *slots = first[name.size()][name[0] - 'A'];
            int k = 0;
            while (slots[k] >= 0)
                ++k;
            slots[k] = int8_t(f);
        }
    }
};

const NameIndex &nameIndex()
{
    static const NameIndex index;
    return index;
}

} // namespace

bool fieldOfName(std::string_view name, Field &field)
{
    if (name.empty() || name.size() > NameIndex::kLongest)
        return false;
    const unsigned letter = unsigned((name[0] | 0x20) - 'a');
    if (letter >= 26)
        return false;
    for (const int8_t f : nameIndex().first[name.size()][letter]) {
        if (f >= 0 && sameLetters(name, kFieldNames[f])) {
            field = Field(f);
            return true;
        }
    }
    return false;
}

std::string_view columnAppName(int column)
{
    return column > 0 && column < kColumns ? kAppNames[column] : std::string_view();
}

int columnOfAppName(std::string_view name)
{
    for (int c = 1; c < kColumns; ++c) {
        if (sameLetters(name, kAppNames[c]))
            return c;
    }
    return 0;
}

} // namespace adif
