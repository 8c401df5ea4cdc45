#pragma once
#include "UtcConversion.h"
#include <QString>

// Values shared by the commands for as long as the program runs. One object, owned by
// the application and handed to whoever needs it.
struct Variables
{
    QString cellBuffer;   // the one-cell buffer of cut, copy and paste
    QString logFolder;    // where file names typed without a folder of their own are taken
    UtcConversion utc = UtcConversion::fixedHours(0); // from the station data
};
