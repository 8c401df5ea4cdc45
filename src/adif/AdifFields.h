#pragma once
// The ADIF fields this program writes and reads, and one contact's fields on their way between
// the table and a file. Values are views: into the table's cells or a scratch buffer when
// writing, into the file's bytes when reading.
#include <cstdint>
#include <string_view>

namespace adif {

inline constexpr int kColumns = 17; // the number column and the sixteen values of a contact

enum Column : int {
    Number, Call, Name, Qth, Province, City, PostalCode, PostBox, Rst, Date, Time, Frequency, Mode, Route,
    Sent, Received, Comment
};

enum class Field : int {
    Call, QsoDate, TimeOn, Name, NameIntl, Qth, QthIntl, Address, AddressIntl, State, RstSent, Freq, Band, Mode,
    Submode, QslSentVia, QslVia, QslSent, QslRcvd, Comment, CommentIntl, Notes, NotesIntl, Count
};
inline constexpr int kFieldCount = int(Field::Count);

// `text` in any case against `upper`, written in capitals.
bool sameLetters(std::string_view text, std::string_view upper);

// The field's ADIF name, upper case.
std::string_view fieldName(Field field);
// The field a name stands for (any letter case); false for every other name.
bool fieldOfName(std::string_view name, Field &field);
// The _INTL twin of a field, or Field::Count when it has none.
constexpr Field intlTwin(Field field)
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

// The application field of a column, as in APP_ORVANEL_<name>: INDICATIVO, NOMBRE, ...
std::string_view columnAppName(int column);
// The column of an application field name after "APP_ORVANEL_" (any letter case); 0 for none.
int columnOfAppName(std::string_view name);
inline constexpr std::string_view kProgramId = "ORVANEL";

struct Fields
{
    std::string_view field[kFieldCount];
    uint32_t present = 0; // bit per Field
    std::string_view app[kColumns];
    uint32_t appPresent = 0; // bit per column

    bool has(Field f) const { return present >> int(f) & 1u; }
    std::string_view get(Field f) const { return has(f) ? field[int(f)] : std::string_view(); }
    void set(Field f, std::string_view value)
    {
        field[int(f)] = value;
        present |= 1u << int(f);
    }
    bool hasApp(int column) const { return appPresent >> column & 1u; }
    void setApp(int column, std::string_view value)
    {
        app[column] = value;
        appPresent |= 1u << column;
    }
    void clear()
    {
        present = 0;
        appPresent = 0;
    }
};

} // namespace adif
