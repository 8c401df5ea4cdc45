#include "Subdivisions.h"

#include <iterator>

namespace {

struct Entity
{
    int dxcc;
    const char *const *codes;
    int count;
};

// Canada: provinces and territories.
constexpr const char *kCanada[] = {"NS", "QC", "ON", "MB", "SK", "AB", "BC", "NT", "NB", "NL", "YT", "PE", "NU"};
// Mexico: states and the capital; QUE and ROO are the later codes of Querétaro and Quintana Roo.
constexpr const char *kMexico[] = {"COL", "DF", "EMX", "GTO", "HGO", "JAL", "MIC", "MOR", "NAY", "PUE", "QRO",
                                   "QUE", "TLX", "VER", "AGS", "BC", "BCS", "CHH", "COA", "DGO", "NL", "SLP",
                                   "SIN", "SON", "TMS", "ZAC", "CAM", "CHS", "GRO", "OAX", "QTR", "ROO", "TAB",
                                   "YUC"};
// Argentina: the provinces and the federal capital.
constexpr const char *kArgentina[] = {"C", "B", "S", "H", "P", "X", "N", "E", "T", "W", "M", "G",
                                      "A", "J", "D", "K", "F", "Y", "L", "R", "U", "Z", "V", "Q"};
// Chile: the regions.
constexpr const char *kChile[] = {"II", "III", "I", "IV", "V", "RM", "VI", "VII",
                                  "VIII", "IX", "X", "XI", "XII", "XIV", "XV", "XVI"};
// Paraguay: the departments and the capital.
constexpr const char *kParaguay[] = {"16", "19", "15", "13", "01", "14", "02", "ASU", "11",
                                     "03", "09", "06", "05", "04", "08", "12", "10", "07"};
// Uruguay: the departments.
constexpr const char *kUruguay[] = {"MO", "CA", "SJ", "CO", "SO", "RN", "PA", "SA", "AR", "FD",
                                    "FS", "DU", "TA", "RV", "CL", "TT", "LA", "RO", "MA"};
// Spain (mainland): the provinces. The islands, Ceuta and Melilla are DXCC entities of their own.
constexpr const char *kSpain[] = {"AV", "BU", "C",  "LE", "LO", "LU", "O",  "OU", "P",  "PO", "S",  "SA",
                                  "SG", "SO", "VA", "ZA", "BI", "HU", "NA", "SS", "TE", "VI", "Z",  "B",
                                  "GI", "L",  "T",  "BA", "CC", "CR", "CU", "GU", "M",  "TO", "A",  "AB",
                                  "CS", "MU", "V",  "AL", "CA", "CO", "GR", "H",  "J",  "MA", "SE"};
// United States: the contiguous states and the District of Columbia (Alaska and Hawaii are
// DXCC entities of their own).
constexpr const char *kUnitedStates[] = {"CT", "ME", "MA", "NH", "RI", "VT", "NJ", "NY", "DE", "DC", "MD", "PA",
                                         "AL", "FL", "GA", "KY", "NC", "SC", "TN", "VA", "AR", "LA", "MS", "NM",
                                         "OK", "TX", "CA", "AZ", "ID", "MT", "NV", "OR", "UT", "WA", "WY", "CO",
                                         "IA", "KS", "MN", "MO", "NE", "ND", "SD", "MI", "OH", "WV", "IL", "IN",
                                         "WI"};
constexpr const char *kAlaska[] = {"AK"};
constexpr const char *kHawaii[] = {"HI"};

constexpr Entity kEntities[] = {
    {1, kCanada, int(std::size(kCanada))},
    {6, kAlaska, 1},
    {50, kMexico, int(std::size(kMexico))},
    {100, kArgentina, int(std::size(kArgentina))},
    {110, kHawaii, 1},
    {112, kChile, int(std::size(kChile))},
    {132, kParaguay, int(std::size(kParaguay))},
    {144, kUruguay, int(std::size(kUruguay))},
    {281, kSpain, int(std::size(kSpain))},
    {291, kUnitedStates, int(std::size(kUnitedStates))},
};

} // namespace

namespace adif {

bool isSubdivisionCode(int dxcc, std::string_view code)
{
    if (code.empty() || code.size() > 4)
        return false;
    for (const Entity &e : kEntities) {
        if (e.dxcc != dxcc)
            continue;
        for (int i = 0; i < e.count; ++i) {
            if (code == e.codes[i])
                return true;
        }
        return false;
    }
    return false;
}

} // namespace adif
