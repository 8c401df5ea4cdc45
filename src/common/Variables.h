#pragma once
#include <QString>

// Values shared by the commands for as long as the program runs. One object, owned by
// the application and handed to whoever needs it.
struct Variables
{
    QString cellBuffer;   // the one-cell buffer of cut, copy and paste
    QString logFolder;    // where file names typed without a folder of their own are taken
    int difUtc = 0;       // UTC hour = local hour + difUtc, from the station data
};
