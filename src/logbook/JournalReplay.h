#pragma once
// Rebuilds a table from a recovery journal: the table it started from, then every whole step
// in order, made through the same editor the commands use.
#include "JournalFormat.h"
#include "history/TableEditor.h"
#include <functional>

// Reads a file the journal names into rows (column 0 empty); false with a Spanish reason when
// it cannot, or when it is no longer the file it was (another size or hash).
using JournalFileReader = std::function<bool(const FileSource &file, GridStore &rows, QString &problem)>;

struct ReplayResult
{
    bool ok = false;
    QString problem;                     // Spanish, when !ok
    ChangeId nextChange = 0;             // for a journal that goes on after the replay
};

// `editor` works on a table holding the heading row alone, with no observer.
ReplayResult replayJournal(const journal::Read &read, TableEditor &editor, const JournalFileReader &readFile);
