#pragma once
// What the readers of the outside programs' bytes promise for any bytes at all (see
// ReaderChecks.h).
#include "ReaderChecks.h"

// rigctld's answers: read the same whether the bytes come at once or in pieces; memory bounded
// by one line; every block well formed; each frequency value within a terahertz, shown on the
// form as a text that reads back as the same hertz.
QString checkRigReplies(const CheckFiles &files, const QByteArray &bytes);
