#include "FuzzHarness.h"
#include "JournalChecks.h"

ORVANEL_FUZZ_CHECK(checkJournal)
