#pragma once
// A contact a digital-mode program logged, as the sixteen cells of a row: what "Importar" of
// the same contact in ADIF would give (the start turned into local time the same way), "BURO"
// and "NO", "NO" for the QSL columns as a typed contact gets them, and what has no column of
// its own (the report received, the grid, the power, the exchange) kept in "Comentario".
#include "DigitalDatagram.h"
#include "adif/AdifImport.h"
#include <QStringList>

namespace digital {

struct ContactCells
{
    bool ok = false;
    QStringList cells;                  // columns 1 to 16
    QString reason;                     // Spanish, when !ok
};

// From a "QSO Logged" or "Logged ADIF" message.
ContactCells contactCells(const Message &message, const AdifImportOptions &options);

// The short line of what has no column: "RST recibido -15 · FN42 · 50 W".
QString extrasLine(const QString &comment, const QString &reportReceived, const QString &grid,
                   const QString &power, const QString &exchangeSent, const QString &exchangeReceived);

} // namespace digital
