#pragma once
// A contact a digital-mode program logged, as the cells of a row: what "Importar" of the same
// contact in ADIF would give (the start turned into local time the same way), "BURO" and "NO",
// "NO" for the QSL columns as a typed contact gets them, and what has no column of its own (the
// report received, the grid, the power, the exchange) kept in "Comentario".
#include "DigitalDatagram.h"
#include "adif/AdifImport.h"
#include <string>
#include <string_view>
#include <vector>

namespace digital {

struct ContactCells
{
    bool ok = false;
    std::vector<std::string> cells;     // UTF-8, by column: "Nº" (empty) and the sixteen values
    QString reason;                     // Spanish, when !ok
    QString cell(int column) const { return QString::fromStdString(cells.at(size_t(column))); }
};

// From a "QSO Logged" or "Logged ADIF" message.
ContactCells contactCells(const Message &message, const AdifImportOptions &options);

// The short line of what has no column: "RST recibido -15 · FN42 · 50 W".
std::string extrasLine(std::string_view comment, std::string_view reportReceived, std::string_view grid,
                       std::string_view power, std::string_view exchangeSent, std::string_view exchangeReceived);

} // namespace digital
