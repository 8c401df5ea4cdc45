#pragma once
// The captions of the two clock labels: hours without a leading zero, minutes with two digits.
#include <QString>

// "9:05", "0:07", "23:59". The hour is shown as it comes, so an offset too large for the
// single correction shows as "26:00" or "-4:00" rather than being hidden.
QString clockCaption(int hour, int minute);

// The UTC hour from the local hour and the offset, corrected once only: a sum of 24 or more
// loses 24, a negative sum gains 24. Offsets from -24 to +24 land in 0..23.
int utcHour(int localHour, int difUtc);
