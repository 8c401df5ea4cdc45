#pragma once
// Contact tables for the ADIF tests: a heading row, then contacts given as their sixteen
// values; and the cells of imported rows, for comparing.
#include "adif/AdifImport.h"
#include "common/GridStore.h"

#include <QString>
#include <QStringList>

inline GridStore contactTable(const QList<QStringList> &contacts)
{
    static const char *const headings[17] = {
        "Nº",    "Indicativo", "Nombre", "QTH",        "Provincia", "Ciudad", "Código Postal", "Casilla de Correo",
        "RST",   "Fecha",      "Hora",   "Frecuencia", "Modo",      "Vía",    "Enviada",       "Recibida",
        "Comentario"};
    GridStore table(17);
    std::string_view heading[17];
    for (int c = 0; c < 17; ++c)
        heading[c] = headings[c];
    table.appendRow(heading, 17);
    for (const QStringList &contact : contacts) {
        std::string bytes[17];
        std::string_view cells[17];
        bytes[0] = std::to_string(table.rows());
        for (int c = 1; c < 17; ++c)
            bytes[c] = contact.value(c - 1).toStdString();
        for (int c = 0; c < 17; ++c)
            cells[c] = bytes[c];
        table.appendRow(cells, 17);
    }
    return table;
}

// Columns 1 to 16 of each row of `rows`, from row `first` on.
inline QList<QStringList> contactsOf(const GridStore &rows, int64_t first = 0)
{
    QList<QStringList> out;
    for (int64_t r = first; r < rows.rows(); ++r) {
        QStringList contact;
        for (int c = 1; c < 17; ++c) {
            const std::string_view cell = rows.cell(r, c);
            contact << QString::fromUtf8(cell.data(), qsizetype(cell.size()));
        }
        out << contact;
    }
    return out;
}
