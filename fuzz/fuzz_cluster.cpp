#include "FuzzHarness.h"
#include "NetChecks.h"

ORVANEL_FUZZ_CHECK(checkClusterLines)
