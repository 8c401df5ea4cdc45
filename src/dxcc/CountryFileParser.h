#pragma once
// The lines of a country file (cty.csv) into its entities and what each one lists, or the first
// malformed line and what is wrong with it.
//
// Lines end at LF (a CR before it is part of the line end); blank lines and a UTF-8 byte order
// mark at the start are passed over. A line is ten fields separated by commas: primary prefix,
// name, DXCC number (0-999), continent, CQ zone (1-40), ITU zone (1-90), latitude, longitude,
// UTC offset (decimal numbers), and the list, ended by ';'. Blanks around fields are dropped.
// The name may hold commas (the other fields cannot), and double quotes around it are removed
// as a CSV writer would have put them. Prefix and name are UTF-8 without control characters.
// A line whose primary prefix starts with '*' is passed over unread.
//
// The list holds entries separated by blanks: a prefix (digits and letters) or '=' and a whole
// call sign (digits, letters and '/'), at most kMaxListedLength of them, then any overrides:
// (CQ zone), [ITU zone], {continent}, <latitude/longitude>, ~UTC offset~. Letters are kept in
// upper case.
#include "dxcc/CallResolver.h"
#include "dxcc/CallTables.h"

#include <QString>

#include <string_view>
#include <vector>

inline constexpr size_t kMaxListedLength = 32;

struct CountryFileContent
{
    std::vector<CountryEntity> entities;   // in file order
    std::vector<CallListing> prefixes;     // in file order; data.entity indexes `entities`
    std::vector<CallListing> wholeCalls;
    qint64 badLine = 0;                    // set with `problem` when a line is malformed
    QString problem;                       // what is wrong, in Spanish, to go after "Línea N: "
};

CountryFileContent parseCountryFile(std::string_view bytes);
