#pragma once
// The ADIF library in one include: export, import, file kinds, bands and modes.
#include "AdifExport.h"
#include "AdifImport.h"
#include "BandTable.h"
#include "LogFileKind.h"
#include "ModeTable.h"
