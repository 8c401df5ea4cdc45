#include "CountryChecks.h"
#include "FuzzHarness.h"

ORVANEL_FUZZ_CHECK(checkCountryFile)
