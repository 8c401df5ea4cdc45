#pragma once
// The award view of the log: every DXCC entity worked, and on which bands it was worked (T)
// or confirmed (C), for one class of mode or all. Contacts whose call sign has no entity are
// counted under "Sin entidad", and contacts without a band under "Sin banda", so every
// contact is accounted for.
#include "CallIndex.h"
#include <vector>

enum class ModeFilter { All, Phone, Cw, Digital };

struct WorkedTable
{
    static constexpr int kNoBand = -1;
    std::vector<int> bands;              // the band of each column; kNoBand for "Sin banda"
    struct Entity
    {
        int entity;                      // -1 for "Sin entidad"
        std::vector<uint8_t> marks;      // per column: 0 nothing, 1 worked, 2 confirmed
    };
    std::vector<Entity> entities;        // in the country file's order, "Sin entidad" last
    int worked = 0, confirmed = 0;       // entities (not counting "Sin entidad")
    std::vector<int> workedOn, confirmedOn; // per column
};

// Bands 160 m to 70 cm always have a column; other bands only when some contact is on them.
WorkedTable workedEntities(CallIndex &index, ModeFilter filter, bool onlyConfirmed);

// Of some grid rows, the one of the latest contact: latest by its date and time where they can
// be read, the lowest in the table otherwise. 0 for none.
int latestOf(const class GridModel &table, const std::vector<int> &rows);

// The grid row of the latest contact of `entity` on `band` (kNoBand: without a band) under
// the filter: latest by its date and time where they can be read, otherwise the lowest in
// the table. 0 when there is none.
int latestContact(CallIndex &index, const class GridModel &table, int entity, int band, ModeFilter filter,
                  bool onlyConfirmed);
