#pragma once
// The bands of the ADIF Band enumeration, and frequencies as operators type them: "7.050",
// "7,050" (decimal comma) or "7050" (kHz). Read by shifting decimal digits, never through
// floating point, so "14074.5" kHz is exactly "14.0745" MHz.
#include <QString>
#include <QStringView>
#include <string_view>

// The ADIF band of a frequency text as typed, -1 when none. Bands are numbered from 2190m
// (the lowest) up. A number with a decimal separator, or below 1000, is tried as MHz first and
// then as kHz; a whole number of 1000 or more as kHz first, then as MHz; the first reading that
// falls inside a band wins. No allocation.
int bandOfFrequency(QStringView text);
int bandOfFrequency(std::string_view utf8);
int bandCount();
QString bandName(int band); // the ADIF name in lower case ("40m", "70cm"); empty when out of range
// The band an ADIF name stands for, any letter case ("20M"); -1 for none.
int bandOfName(std::string_view name);

namespace adif {

// A frequency text read as MHz, for the FREQ field: the digits with the decimal point put
// where the reading says, written with a dot ("7050" -> "7.050"). `band` is -1 (and `mhz`
// empty) when no reading falls inside a band.
struct FrequencyReading
{
    int band = -1;
    char mhz[48];
    size_t size = 0;
    std::string_view text() const { return {mhz, size}; }
};
FrequencyReading readFrequency(std::string_view utf8);
std::string_view bandNameView(int band);

} // namespace adif
