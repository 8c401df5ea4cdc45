#pragma once
// The one log every benchmark works on: contacts as a Spanish-speaking station logs them
// (call signs from home and abroad, names and places with accents, dates, times, bands,
// modes, QSL routes, comments with typographic quotes and the euro sign), about 140 bytes a
// contact on disk. Contact i is always the same, so any contact can be made again without
// keeping the log, and every benchmark of a given size sees the same log.
#include "common/Cp1252.h"
#include "common/GridModel.h"
#include "common/GridStore.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace benchlog {

inline constexpr int kCols = 17; // the number column and the sixteen values of a contact

inline const char *const kHeadings[kCols] = {
    "Nº",    "Indicativo", "Nombre", "QTH",        "Provincia", "Ciudad", "Código Postal", "Casilla de Correo",
    "RST",   "Fecha",      "Hora",   "Frecuencia", "Modo",      "Vía",    "Enviada",       "Recibida",
    "Comentario"};

enum class Encoding { Utf8, Cp1252 };

using Cells = std::array<std::string_view, kCols>;

class ContactMaker
{
public:
    // Fills cells[1..16] with contact `index` (from 0); cells[0] is left alone. The views stay
    // valid until the next call.
    void make(int64_t index, Cells &cells, Encoding encoding = Encoding::Utf8)
    {
        const Words &w = words(encoding);
        m_state = mix(uint64_t(index) + 0x2545F4914F6CDD1Dull); // unrelated streams for neighbours

        // Call sign: mostly Spanish and Latin American, now and then portable or abroad, and a
        // few typed in small letters (the sort ignores case, so it must cope with them).
        std::string &call = m_text[1];
        call.clear();
        if (rnd(100) < 3)
            (call += pick(w.dxPrefixes)) += '/';
        call += pick(w.prefixes);
        for (int n = 1 + int(rnd(3)); n > 0; --n)
            call += char('A' + rnd(26));
        if (rnd(100) < 5)
            call += pick(w.portable);
        if (rnd(100) < 2)
            for (char &ch : call)
                ch = ch >= 'A' && ch <= 'Z' ? char(ch - 'A' + 'a') : ch;
        cells[1] = call;

        std::string &name = m_text[2];
        name.assign(pick(w.names));
        if (rnd(100) < 25)
            (name += ' ') += pick(w.names);
        cells[2] = name;
        cells[3] = pick(w.towns);
        cells[4] = pick(w.provinces);
        cells[5] = rnd(100) < 30 ? pick(w.towns) : std::string_view();
        cells[6] = rnd(100) < 75 ? digits(0, 1000 + rnd(51000), 5) : std::string_view();
        if (rnd(100) < 8) {
            std::string &box = m_text[7];
            box.assign(pick(w.boxes));
            box += number(rnd(3000) + 1);
            cells[7] = box;
        } else {
            cells[7] = {};
        }
        cells[8] = pick(w.reports);

        std::string &date = m_text[9];
        date.assign(digits(1, 1 + rnd(28), 2));
        (date += '/') += digits(2, 1 + rnd(12), 2);
        (date += '/') += digits(3, 1998 + rnd(28), 4);
        cells[9] = date;
        std::string &time = m_text[10];
        time.assign(digits(1, rnd(24), 2));
        (time += ':') += digits(2, rnd(60), 2);
        (time += ':') += digits(3, rnd(60), 2);
        cells[10] = time;

        const Band &band = w.bands[rnd(std::size(w.bands))];
        std::string &freq = m_text[11];
        const uint64_t khz = band.lowKhz + rnd(band.widthKhz);
        freq.assign(number(khz / 1000));
        (freq += '.') += digits(4, khz % 1000, 3);
        cells[11] = freq;
        cells[12] = pick(w.modes);
        const uint64_t route = rnd(100);
        cells[13] = route < 50 ? w.routes[0] : route < 75 ? w.routes[1] : route < 85 ? w.routes[2] : pick(w.managers);
        cells[14] = rnd(100) < 30 ? w.yes : w.no;
        cells[15] = rnd(100) < 45 ? w.yes : w.no;
        cells[16] = rnd(100) < 55 ? std::string_view() : pick(w.comments);
    }

private:
    struct Band
    {
        uint64_t lowKhz, widthKhz;
    };
    // The word lists in one encoding.
    struct Words
    {
        std::vector<std::string> prefixes, dxPrefixes, portable, names, towns, provinces, boxes, reports, modes,
            managers, comments;
        std::array<std::string, 3> routes;
        std::string yes, no;
        std::array<Band, 11> bands;
    };

    static const Words &words(Encoding encoding)
    {
        static const Words utf8 = makeWords(Encoding::Utf8);
        static const Words cp = makeWords(Encoding::Cp1252);
        return encoding == Encoding::Utf8 ? utf8 : cp;
    }

    static Words makeWords(Encoding encoding)
    {
        const auto list = [encoding](std::initializer_list<const char *> texts) {
            std::vector<std::string> out;
            for (const char *t : texts)
                out.push_back(encode(t, encoding));
            return out;
        };
        Words w;
        w.prefixes = list({"EA1", "EA2", "EA3", "EA4", "EA5", "EA6", "EA7", "EA8", "EA9", "EB1", "EB3", "EB5",
                           "EC1", "EC4", "EC7", "ED2", "EE4", "LU1", "LU2", "LU5", "LU7", "LW3", "CX2", "CX5",
                           "CE1", "CE3", "XE1", "XE2", "HK3", "HK4", "OA4", "YV5", "HC2", "CO2", "CT1", "CT7",
                           "F4",  "F5",  "DL1", "DK5", "I2",  "IK0", "G3",  "M0",  "ON4", "PY2", "PU5", "W1",
                           "K4",  "N5",  "VE3", "JA1", "VK2", "ZS6", "OH2"});
        w.dxPrefixes = list({"EA8", "EA6", "EA9", "CT3", "F", "DL"});
        w.portable = list({"/P", "/M", "/QRP", "/MM"});
        w.names = list({"José", "María", "Juan", "Ana", "Íñigo", "Pilar", "Jesús", "Ramón", "Begoña", "Andrés",
                        "Lucía", "Óscar", "Luis", "Carmen", "Pepe", "Maite", "Fermín", "Agustín", "Raúl",
                        "Inés", "Nuria", "Joaquín", "Ángel", "Sofía", "Martín", "Iván", "Rocío", "Txema",
                        "Jürgen", "François", "João", "Müller", "Peña", "Muñoz", "Ibáñez", "Castaño"});
        w.towns = list({"Madrid", "Sevilla", "Málaga", "Vigo", "Gijón", "Cádiz", "León", "Jaén", "Lugo",
                        "Ávila", "Teruel", "Soria", "Logroño", "Toledo", "Elche", "Alcalá de Henares",
                        "A Coruña", "Cáceres", "Almería", "Móstoles", "Getafe", "Peñíscola", "Úbeda",
                        "Rosario", "Córdoba", "San Martín de los Andes", "Asunción", "Bogotá",
                        "Valparaíso", "Mérida", "Concepción", "Montevideo", "Medellín", "Querétaro"});
        w.provinces = list({"Madrid", "Sevilla", "Málaga", "Pontevedra", "Asturias", "Cádiz", "León", "Jaén",
                            "Lugo", "Ávila", "Teruel", "Soria", "La Rioja", "Toledo", "Alicante", "A Coruña",
                            "Cáceres", "Almería", "Castellón", "Santa Fe", "Neuquén", "Antioquia", "Yucatán",
                            "Biobío", "Canelones", "Central"});
        w.boxes = list({"Apdo. ", "Apartado ", "Casilla ", "CC "});
        w.reports = list({"59", "59", "57", "58", "55", "599", "579", "589", "559"});
        w.modes = list({"SSB", "SSB", "CW", "CW", "FM", "RTTY", "FT8", "FT4", "PSK31", "AM"});
        w.routes = {encode("BURO", encoding), encode("DIRECTA", encoding), encode("eQSL", encoding)};
        w.managers = list({"EA4URE", "EA5KB", "EA7JX", "EA3GHZ", "LU4AA", "IK2VUC", "W3HNK"});
        w.comments = list({"QSB", "QRM fuerte", "Señal débil", "Antena dipolo – 100 W", "Pidió QSL vía buró",
                           "Muy amable, 73", "Concurso CQ WW", "Primer contacto con “Paco”",
                           "Envía QSL vía buró € 2", "Expedición a la isla de Alborán",
                           "Operador: Íñigo, desde su coche", "Vertical en el balcón, 5 W… ¡increíble!",
                           "Diploma de Castillos: CS-123", "Repetidor de Peña Trevinca"});
        w.yes = encode("SI", encoding);
        w.no = encode("NO", encoding);
        w.bands = {Band{1830, 40}, Band{3500, 300}, Band{7000, 200}, Band{10100, 50}, Band{14000, 350},
                   Band{18068, 100}, Band{21000, 450}, Band{24890, 100}, Band{28000, 1700}, Band{50080, 400},
                   Band{144050, 450}};
        return w;
    }

    static std::string encode(std::string_view utf8, Encoding encoding)
    {
        if (encoding == Encoding::Utf8)
            return std::string(utf8);
        std::string bytes;
        cp1252::appendFromUtf8(bytes, utf8);
        return bytes;
    }

    static uint64_t mix(uint64_t z)
    {
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint64_t rnd(uint64_t bound) // splitmix64
    {
        m_state += 0x9E3779B97F4A7C15ull;
        return mix(m_state) % bound;
    }
    std::string_view pick(const std::vector<std::string> &list) { return list[rnd(list.size())]; }

    // `value` with at least `width` digits, in scratch buffer `slot` (the view lives until
    // that slot is used again).
    std::string_view digits(size_t slot, uint64_t value, int width)
    {
        char *end = m_scratch[slot] + sizeof m_scratch[slot];
        char *p = end;
        do {
            *--p = char('0' + value % 10);
            value /= 10;
            --width;
        } while (value != 0 || width > 0);
        return {p, size_t(end - p)};
    }
    std::string_view number(uint64_t value) { return digits(5, value, 1); }

    uint64_t m_state = 0;
    std::array<std::string, kCols> m_text;
    char m_scratch[6][20];
};

// The log file as the program writes it: the count, then sixteen quoted Windows-1252 lines
// per contact, lines ended by CR LF.
inline std::string fileBytes(int64_t contacts)
{
    std::string s = std::to_string(contacts) + "\r\n";
    s.reserve(size_t(contacts) * 145 + 32);
    ContactMaker maker;
    Cells cells;
    for (int64_t i = 0; i < contacts; ++i) {
        maker.make(i, cells, Encoding::Cp1252);
        for (int c = 1; c < kCols; ++c) {
            s += '"';
            s += cells[size_t(c)];
            s += "\"\r\n";
        }
    }
    return s;
}

// A folder of log files that lives as long as the benchmark program.
inline QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

// The log of `contacts` contacts as a file in that folder, written on first use; empty when
// it cannot be written.
inline QString filePath(int64_t contacts)
{
    static std::map<int64_t, QString> written;
    const auto known = written.find(contacts);
    if (known != written.end())
        return known->second;
    QString path = folder().filePath(QStringLiteral("libro-%1.LBR").arg(contacts));
    QFile f(path);
    const std::string bytes = fileBytes(contacts);
    if (!folder().isValid() || !f.open(QIODevice::WriteOnly)
        || f.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()))
        path.clear();
    written.emplace(contacts, path);
    return path;
}

inline int64_t fileSize(int64_t contacts) { return QFile(filePath(contacts)).size(); }

// The contacts as table rows (UTF-8, as the reader leaves them), numbered 1, 2, 3, ...
inline GridStore contactRows(int64_t contacts)
{
    GridStore rows(kCols);
    rows.reserveRows(contacts);
    ContactMaker maker;
    Cells cells;
    std::string number;
    for (int64_t i = 0; i < contacts; ++i) {
        maker.make(i, cells);
        number = std::to_string(i + 1);
        cells[0] = number;
        rows.appendRow(cells.data(), kCols);
    }
    return rows;
}

// The contact table as opening the log leaves it: headings, then the contacts, numbered.
inline std::unique_ptr<GridModel> contactTable(int64_t contacts)
{
    auto table = std::make_unique<GridModel>(kCols, 1);
    for (int c = 0; c < kCols; ++c)
        table->setTextMatrix(0, c, QString::fromUtf8(kHeadings[c]));
    table->appendRows(contactRows(contacts));
    table->numberRows();
    return table;
}

// Contact `index` as the entry form hands it to the table: sixteen texts after the number.
inline QStringList contactTexts(int64_t index)
{
    ContactMaker maker;
    Cells cells;
    maker.make(index, cells);
    QStringList texts;
    texts << QString();
    for (int c = 1; c < kCols; ++c)
        texts << QString::fromUtf8(cells[size_t(c)].data(), qsizetype(cells[size_t(c)].size()));
    return texts;
}

} // namespace benchlog
