#pragma once
// A big log made quickly: contacts numbered 1..count, Spanish call signs (a few thousand of
// them), on 20 and 40 m in CW, with texts of a few sizes so rows differ.
#include "common/GridStore.h"
#include <string>

inline GridStore bigLog(int count)
{
    GridStore rows(17);
    std::string_view cells[17] = {};
    cells[2] = "José", cells[3] = "Málaga", cells[9] = "12/02/2001", cells[12] = "CW";
    for (int i = 1; i <= count; ++i) {
        const std::string number = std::to_string(i), comment(size_t(i % 40), 'x');
        const std::string call = "EA" + std::to_string(1 + i % 9) + char('A' + i % 26) + char('A' + i / 26 % 26);
        cells[0] = number, cells[1] = call, cells[11] = i % 2 ? "14.025" : "7.050", cells[16] = comment;
        rows.appendRow(cells, 17);
    }
    return rows;
}
