#pragma once
// What the country-file reader and the call resolver promise for any bytes at all.
#include "ReaderChecks.h"

// cty.csv: accepted exactly when a plain reading of the file (written out separately, with
// regular expressions) finds it well formed, with the same entities; refused, an error, the
// same line at fault and no resolver. An accepted file resolves every prefix and whole call
// it lists to the first entity that lists it, whole calls before prefixes, with that
// listing's zones and continent; any other text resolves to nothing or to a real entity.
QString checkCountryFile(const CheckFiles &files, const QByteArray &bytes);
