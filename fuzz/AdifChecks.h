#pragma once
// What the ADIF reader and writer promise for any bytes at all (see ReaderChecks.h): a file is
// read the same from disk, with its second part on a second thread, as from memory; refused, it gives a message with its line and no
// rows; accepted, its contacts written out as ADI and as ADX read back cell for cell.
#include "ReaderChecks.h"

QString checkAdif(const CheckFiles &files, const QByteArray &bytes);
