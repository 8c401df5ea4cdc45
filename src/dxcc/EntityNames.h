#pragma once
// The names of the DXCC entities as this program shows them, in Spanish: "España", "México",
// "Rusia europea". Every window that names an entity takes its name from here.
#include <QString>

struct CountryEntity;

// The entity's Spanish name: the Unicode CLDR's name of its ISO 3166 country or territory, or
// the program's own for an entity without one; the country file's name for an entity the
// program does not know.
QString entityName(const CountryEntity &entity);
