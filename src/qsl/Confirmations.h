#pragma once
// Confirmations from the services (LoTW's report, eQSL's inbox, any ADIF of confirmed
// contacts) matched to the log's contacts. A record matches a contact of the same call sign
// (a portable suffix of the contact's ignored when the record has none), band and class of
// mode whose start lies within 30 minutes of the record's; of several, the nearest in time.
#include "ContactClock.h"
#include <QString>
#include <cstdint>
#include <vector>

class CallIndex;
class GridModel;
class GridStore;

struct UnmatchedRecord
{
    QString call, date, time, band, mode;    // as the file gives them; date and time in UTC
};

struct ConfirmationMatch
{
    int64_t read = 0;                        // records in the file
    int64_t notConfirmed = 0;                // records whose QSL_RCVD says no
    int64_t already = 0;                     // records of contacts already "SI"
    std::vector<int> toMark;                 // grid rows to mark, each once, in the file's order
    std::vector<UnmatchedRecord> unmatched;
};

inline constexpr int64_t kConfirmationWindow = 30 * 60; // seconds either side

// `records` as importAdif() reads them with asWritten set: QSO_DATE and TIME_ON as written,
// FREQ or BAND, the mode, and QSL_RCVD as written (empty when absent).
ConfirmationMatch matchConfirmations(const GridStore &records, CallIndex &index, const GridModel &table,
                                     const ContactClock &clock);
