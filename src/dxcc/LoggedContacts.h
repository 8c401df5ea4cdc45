#pragma once
// Whether a contact is already in the log, keyed as operators would: the call sign (any case),
// the start to the minute, the band and the mode (any case). The call-sign index gives the
// rows of that call, so at a million contacts only those rows are read.
#include "adif/AdifDates.h"
#include <QLocale>
#include <string_view>
#include <vector>

class CallIndex;
class GridModel;
class GridStore;

class LoggedContacts
{
public:
    LoggedContacts(CallIndex &index, const GridModel &table, const QLocale &locale = QLocale::system());

    bool contains(const std::string_view *cells);     // a contact's columns 0 to 16, UTF-8
    // The rows of `rows` (contacts read from a file, column 0 empty) the log already holds,
    // ascending.
    std::vector<int64_t> alreadyIn(const GridStore &rows);

private:
    struct Key
    {
        bool timed = false;                       // date and time read: `minute` is the key
        int64_t minute = 0;
        int band = -1;
        std::string_view date, time, mode;        // as written
    };
    Key keyOf(std::string_view date, std::string_view time, std::string_view frequency, std::string_view mode) const;
    bool anyOf(const std::vector<int> &rows, const Key &key) const; // of the rows, one by the key

    CallIndex &m_index;
    const GridModel &m_table;
    adif::DateReader m_dates;
};
