#include "DigitalChecks.h"
#include "FuzzHarness.h"

ORVANEL_FUZZ_CHECK(checkDatagram)
