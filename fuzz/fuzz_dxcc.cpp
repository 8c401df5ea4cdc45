#include "FuzzHarness.h"

ORVANEL_FUZZ_CHECK(checkDxcc)
