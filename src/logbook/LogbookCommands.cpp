#include "LogbookCommands.h"
#include "LibroFile.h"
#include "LogFileReading.h"
#include "common/Cp1252.h"
#include "common/FileErrors.h"
#include "common/GridModel.h"
#include "history/ContactLog.h"
#include "ui/FormWindow.h"
#include "ui/Layouts.h"
#include "ui/MainFrame.h"
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <climits>

using namespace Qt::StringLiterals;

namespace {

// The first few of `count` things, with a mark when there are more.
QString firstFew(const QStringList &named, int64_t count, const QString &separator)
{
    return named.join(separator) + (count > named.size() ? u"…"_s : QString());
}

// Where row `row` of a file went once the rows the log already held (`skipped`, ascending) were
// left out; -1 when it was one of them.
int64_t keptRow(const std::vector<int64_t> &skipped, int64_t row)
{
    const auto at = std::lower_bound(skipped.begin(), skipped.end(), row);
    return at != skipped.end() && *at == row ? -1 : row - int64_t(at - skipped.begin());
}

// The findings about the rows that stayed, numbered as they stayed.
AdifFindings keptFindings(AdifFindings found, const std::vector<int64_t> &skipped)
{
    if (skipped.empty())
        return found;
    std::vector<int64_t> withoutCall;
    for (int64_t row : found.firstWithoutCall) {
        if (const int64_t kept = keptRow(skipped, row); kept >= 0)
            withoutCall.push_back(kept);
        else
            --found.withoutCall;
    }
    found.firstWithoutCall = std::move(withoutCall);
    std::vector<std::pair<int64_t, int>> unstorable;
    for (const auto &[row, col] : found.firstUnstorable) {
        if (const int64_t kept = keptRow(skipped, row); kept >= 0)
            unstorable.emplace_back(kept, col);
        else
            --found.unstorable;
    }
    found.firstUnstorable = std::move(unstorable);
    return found;
}

// What an ADIF import brought in, what it left out as already in the log, what the user has to
// see to, and what it had to leave out. The imported rows start at table row `firstRow`.
QString importReport(const QString &name, int64_t added, int64_t skipped, const AdifFindings &found,
                     const GridModel &table, int64_t firstRow)
{
    QString text = added == 1 ? u"Se agregó 1 contacto de «%1»"_s.arg(name)
                              : u"Se agregaron %1 contactos de «%2»"_s.arg(added).arg(name);
    if (skipped > 0)
        text += skipped == 1 ? u"; 1 ya estaba en el libro"_s : u"; %1 ya estaban en el libro"_s.arg(skipped);
    text += u'.';
    if (found.withoutCall > 0) {
        QStringList rows;
        for (int64_t row : found.firstWithoutCall)
            rows << QString::number(firstRow + row);
        const QString which = firstFew(rows, found.withoutCall, u", "_s);
        text += added == 1 ? u" No tiene indicativo (fila %1)."_s.arg(which)
                : found.withoutCall == 1 ? u" 1 de ellos no tiene indicativo (fila %1)."_s.arg(which)
                                         : u" %1 de ellos no tienen indicativo (filas %2)."_s.arg(found.withoutCall).arg(which);
    }
    if (found.unstorable > 0) {
        QStringList cells;
        for (const auto &[row, col] : found.firstUnstorable) {
            const QString value = table.TextMatrix(int(firstRow + row), col);
            cells << u"fila %1, columna «%2»: %3"_s.arg(QString::number(firstRow + row), table.TextMatrix(0, col),
                                                         describeCharacter(value, cp1252::firstUnstorable(value)));
        }
        const QString where = firstFew(cells, found.unstorable, u"; "_s);
        text += found.unstorable == 1
                    ? u" 1 celda tiene un carácter que un libro de guardia no admite (%1): cámbielo antes de guardar, "
                      u"con «Edición > Remplazar» si quiere."_s.arg(where)
                    : u" %1 celdas tienen caracteres que un libro de guardia no admite (%2): cámbielos antes de "
                      u"guardar, con «Edición > Remplazar» si quiere."_s.arg(found.unstorable).arg(where);
    }
    if (!found.leftOut.empty()) {
        QStringList fields;
        for (const auto &[field, count] : found.leftOut)
            fields << u"%1 (%2)"_s.arg(field).arg(count);
        text += u" Estos datos no tienen columna en el libro y quedaron fuera: %1."_s.arg(fields.join(u", "_s));
    }
    return text;
}

const QString kNotFound = u"El archivo no se encuentra. Asegúrese de haberlo escrito correctamente."_s;
const QString kOverwrite = u"El archivo ya existe. ¿Desea sobreescribirlo?"_s;

QString archivo(FormWindow *window)
{
    return window->lineEdit(u"Archivo"_s)->text();
}
} // namespace

LogbookCommands::LogbookCommands(MainFrame &main, ContactLog &log, Platform platform, const Variables &variables,
                                 QObject *parent)
    : QObject(parent), m_main(main), m_log(log), m_platform(platform), m_variables(variables),
      m_abre([this] { return createAbre(); }, this),
      m_guarda([this] { return createGuarda(); }, this),
      m_importar([this] { return createImportar(); }, this)
{
    connect(main.action(u"nAbrir"_s), &QAction::triggered, this, &LogbookCommands::nAbrir_Click);
    connect(main.action(u"mNuevo"_s), &QAction::triggered, this, &LogbookCommands::mNuevo_Click);
    connect(main.action(u"mGuardar"_s), &QAction::triggered, this, &LogbookCommands::mGuardar_Click);
    connect(main.action(u"mGuardar_como"_s), &QAction::triggered, this, &LogbookCommands::mGuardar_como_Click);
    connect(main.action(u"mImportar"_s), &QAction::triggered, this, &LogbookCommands::mImportar_Click);
}

FormWindow *LogbookCommands::createAbre()
{
    auto *window = new FormWindow(layouts::abre(), &m_main);
    connect(window->button(u"Command1"_s), &QPushButton::clicked, this, &LogbookCommands::Abre_Command1_Click);
    connect(window->button(u"Abre_Facil"_s), &QPushButton::clicked, this, &LogbookCommands::Abre_Abre_Facil_Click);
    return window;
}

FormWindow *LogbookCommands::createGuarda()
{
    auto *window = new FormWindow(layouts::guarda(), &m_main);
    connect(window->button(u"Command1"_s), &QPushButton::clicked, this, &LogbookCommands::Guarda_Command1_Click);
    connect(window->button(u"Abre_Facil"_s), &QPushButton::clicked, this, &LogbookCommands::Guarda_Abre_Facil_Click);
    return window;
}

FormWindow *LogbookCommands::createImportar()
{
    auto *window = new FormWindow(layouts::importar(), &m_main);
    connect(window->button(u"Abrir"_s), &QPushButton::clicked, this, &LogbookCommands::Importar_Abrir_Click);
    connect(window->button(u"Abre_Facil"_s), &QPushButton::clicked, this, &LogbookCommands::Importar_Abre_Facil_Click);
    return window;
}

QString LogbookCommands::titlePrefix()
{
    return u"Kavento versión 9.0 - "_s;
}

// The title is taken as it is, prefix or not: a title no longer than the prefix names no file.
QString LogbookCommands::currentFileName() const
{
    return m_main.windowTitle().mid(titlePrefix().size());
}

QString LogbookCommands::resolve(const QString &name) const
{
    return QDir(m_variables.logFolder).filePath(name);
}

bool LogbookCommands::nameGiven(const QString &name, const QString &title, const QString &text)
{
    if (!name.isEmpty())
        return true;
    m_platform.messages->ask(text, title, MessageSeam::Buttons::Ok, MessageSeam::Icon::Warning);
    return false;
}

bool LogbookCommands::read(const QString &name, int64_t keep, const QString &title, LogFileRead &read)
{
    const QString path = resolve(name);
    if (!QFileInfo(path).isFile()) {
        m_platform.messages->ask(kNotFound, u"Abrir"_s, MessageSeam::Buttons::Ok, MessageSeam::Icon::None);
        return false;
    }
    // Read into a table of its own first: a refused file leaves the open log as it was.
    read = readLogFile(path, name, m_variables.utc);
    if (read.ok && read.rows.rows() > int64_t(INT_MAX) - 1 - keep) {
        read.ok = false;
        read.error = u"El archivo «%1» tiene %2 contactos: son más de los que caben en la tabla."_s
                         .arg(name, QString::number(read.rows.rows()));
    }
    if (!read.ok) {
        m_platform.messages->ask(read.error, title, MessageSeam::Buttons::Ok, MessageSeam::Icon::Warning);
        return false;
    }
    return true;
}

bool LogbookCommands::save(const QString &name, const QString &title, const QString &windowTitle)
{
    const QString path = resolve(name);
    const LibroWrite written = EscribirLibro(m_main.libro(), path, name);
    if (!written.ok) {
        m_platform.messages->ask(written.error, title, MessageSeam::Buttons::Ok, MessageSeam::Icon::Critical);
        return false;
    }
    m_main.setWindowTitle(windowTitle);
    FileSource file;
    file.name = name;
    file.path = QFileInfo(path).absoluteFilePath();
    file.size = written.size;
    file.hash = written.hash;
    m_log.markSaved(m_log.savedTo(file));
    return true;
}

// --- Abrir and Nuevo ---

void LogbookCommands::nAbrir_Click()
{
    m_abre.show();
}

void LogbookCommands::Abre_Command1_Click()
{
    const QString name = archivo(m_abre.get());
    if (!nameGiven(name, u"Abrir"_s, u"Escriba en «Archivo» el nombre del libro de guardia que desea abrir."_s))
        return;
    // "Guardar" would write a log book over an ADIF file: those come in through "Importar".
    if (QFileInfo(resolve(name)).isFile() && logFormatOf(resolve(name)) != LogFormat::Libro) {
        m_platform.messages->ask(u"«%1» es un archivo ADIF, no un libro de guardia. Para agregar sus contactos "
                                 u"al libro use «Archivo > Importar»."_s.arg(name),
                                 u"Abrir"_s, MessageSeam::Buttons::Ok, MessageSeam::Icon::Warning);
        return;
    }
    openNamed(name); // a refused name leaves the window, so the name can be corrected
}

bool LogbookCommands::openNamed(const QString &name)
{
    LogFileRead file;
    if (!read(name, 0, u"Abrir"_s, file))
        return false;
    m_log.openTable(std::move(file.rows), file.source, titlePrefix() + name);
    m_abre.hide();
    return true;
}

void LogbookCommands::openGiven(const QString &path)
{
    if (QFileInfo(path).isFile() && logFormatOf(path) != LogFormat::Libro)
        importNamed(path);
    else
        openNamed(path);
}

void LogbookCommands::Abre_Abre_Facil_Click()
{
    m_abre.hide();
}

void LogbookCommands::mNuevo_Click()
{
    m_log.emptyTable();
}

// --- Guardar and Guardar como ---

void LogbookCommands::mGuardar_Click()
{
    const QString name = currentFileName();
    if (name.isEmpty()) {
        // No log has a name yet: ask for one rather than write a nameless file.
        mGuardar_como_Click();
        return;
    }
    if (!save(name, u"Guardar"_s, m_main.windowTitle()))
        return;
    m_guarda.hide();
}

void LogbookCommands::mGuardar_como_Click()
{
    m_guarda.show();
}

void LogbookCommands::Guarda_Command1_Click()
{
    const QString name = archivo(m_guarda.get());
    if (!nameGiven(name, u"Guardar como..."_s,
                   u"Escriba en «Archivo» el nombre con el que desea guardar el libro de guardia."_s))
        return;
    if (QFileInfo(resolve(name)).isFile()
        && m_platform.messages->ask(kOverwrite, u"Orvanel"_s, MessageSeam::Buttons::OkCancel, MessageSeam::Icon::None)
               != MessageSeam::Answer::Ok)
        return;
    if (!save(name, u"Guardar como..."_s, titlePrefix() + name))
        return; // title and window stay: the log still has the name it had
    m_guarda.hide();
    if (m_closingSave) {
        m_closingSave = false;
        emit savedAfterAsking();
    }
}

void LogbookCommands::Guarda_Abre_Facil_Click()
{
    m_closingSave = false;
    m_guarda.hide();
}

bool LogbookCommands::saveBeforeClosing()
{
    const QString name = currentFileName();
    if (name.isEmpty() || !m_main.action(u"mGuardar"_s)->isEnabled()) {
        // After "Nuevo" the title still names the last file: never write this log over it.
        m_closingSave = true;
        mGuardar_como_Click();
        return false;
    }
    return save(name, u"Guardar"_s, m_main.windowTitle());
}

bool LogbookCommands::readForJournal(const FileSource &file, GridStore &rows, QString &problem) const
{
    return rereadLogFile(file, rows, problem);
}

// --- Importar ---

void LogbookCommands::mImportar_Click()
{
    m_importar.show();
}

void LogbookCommands::Importar_Abrir_Click()
{
    const QString name = archivo(m_importar.get());
    if (!nameGiven(name, u"Importar"_s, u"Escriba en «Archivo» el nombre del libro de guardia que desea importar."_s))
        return;
    importNamed(name);
}

bool LogbookCommands::importNamed(const QString &name)
{
    LogFileRead file;
    if (!read(name, m_main.libro().Rows() - 1, u"Importar"_s, file))
        return false;
    const bool adif = file.source.format != LogFormat::Libro;
    // An ADIF file (a digital-mode program's own log, say) brings no contact the log holds
    // already; a log book is imported whole.
    if (adif && m_alreadyInLog) {
        file.source.skipped = m_alreadyInLog(file.rows);
        dropRows(file.rows, file.source.skipped);
    }
    const int64_t added = file.rows.rows(), firstRow = m_main.libro().Rows();
    const int64_t skipped = int64_t(file.source.skipped.size());
    m_log.importRows(std::move(file.rows), file.source);
    m_importar.hide();
    if (adif)
        m_platform.messages->ask(importReport(name, added, skipped, keptFindings(std::move(file.findings),
                                                                               file.source.skipped),
                                              m_main.libro(), firstRow),
                                 u"Importar"_s, MessageSeam::Buttons::Ok, MessageSeam::Icon::None);
    return true;
}

void LogbookCommands::Importar_Abre_Facil_Click()
{
    m_importar.hide();
}
