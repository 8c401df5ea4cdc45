#include "AdifChecks.h"
#include "FuzzHarness.h"

ORVANEL_FUZZ_CHECK(checkAdif)
