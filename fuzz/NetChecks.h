#pragma once
// What the readers of the outside programs' bytes promise for any bytes at all (see
// ReaderChecks.h).
#include "ReaderChecks.h"

// rigctld's answers: read the same whether the bytes come at once or in pieces; memory bounded
// by one line; every block well formed; each frequency value within a terahertz, shown on the
// form as a text that reads back as the same hertz.
QString checkRigReplies(const CheckFiles &files, const QByteArray &bytes);

// A DX cluster's stream: cut into the same lines whether the bytes come at once or in pieces,
// no line longer than the reader's bound nor holding a control character; each spot read from
// a line within a band, and written out again as a spot line it reads back the same.
QString checkClusterLines(const CheckFiles &files, const QByteArray &bytes);
