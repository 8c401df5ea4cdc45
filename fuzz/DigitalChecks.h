#pragma once
// What the digital-mode datagram reader promises for any bytes at all (see ReaderChecks.h): a
// reason exactly when it refuses; the same answer every time; a message of a type it knows when
// it reads; the same datagram one byte shorter never read as another type; a logged contact
// gives its cells in UTF-8, with a call sign the log book can hold, or a reason.
#include "ReaderChecks.h"

QString checkDatagram(const CheckFiles &files, const QByteArray &bytes);
