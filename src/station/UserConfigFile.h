#pragma once
// USUARIO.CFG: the operator's seven station values (country, UTC offset, province, city,
// address, postal code, post-office box), one quoted Windows-1252 line each, CR LF.
// The reader and writer report problems as Spanish texts; the window decides how to show them.
#include <QString>
#include <QStringList>

inline constexpr int kUserConfigItems = 7;

// The name the writer creates.
QString userConfigFileName();

// The plain file in `folder` named USUARIO.CFG in any letter case, as a path; empty when there
// is none. The exact upper-case name wins when several casings exist.
QString findConfigFile(const QString &folder);
// Where "Aceptar" saves: the file findConfigFile() finds, or a new USUARIO.CFG in `folder`,
// so that a lower-case file is replaced rather than shadowed by a second one.
QString configFileForWriting(const QString &folder);

struct ConfigRead
{
    QStringList items;   // up to seven values in file order, whatever could be read
    bool damaged = false;
    QString problem;     // Spanish sentence naming the file, set when damaged
};

// Reads the seven items the way a quoted-field reader does: each item ends at a comma or at a
// line end (CR LF, lone CR or lone LF); blanks and tabs before an item are skipped; an item
// that opens with a double quote runs to the next double quote, and the rest up to the next
// comma or line end is skipped; any other item runs to the next comma or line end.
// A line end also closes a quoted item whose closing quote is missing: values never hold line
// breaks, and this keeps such damage to its own line instead of shifting every later value.
// Only the first 256 KiB are looked at; whatever follows the seventh item is ignored.
// Damaged: fewer than seven items, a NUL byte within them, a missing closing quote, or a file
// that cannot be read.
ConfigRead readUserConfig(const QString &path);

struct WriteResult
{
    bool ok = true;
    QString error;       // Spanish sentence naming the file, set when !ok
};

// Writes seven lines "value" CR LF in Windows-1252, replacing the file atomically: on any
// failure the previous file is left as it was. Each value is first passed through
// storableValue(). A value holding a character the code page cannot hold (or a NUL) is not
// written as '?': nothing is written and the error names the field. Missing values are
// written empty, values beyond the seventh are ignored. A file the reader would not take
// back whole (over 256 KiB) is not written.
WriteResult writeUserConfig(const QString &path, const QStringList &seven);

// The format has no escape for a double quote inside a value: it would end the item early and
// shift the values after it. The writer stores it as an apostrophe, and a line break (CR LF,
// CR or LF) as one blank. The window can warn before saving, or show the stored form.
bool hasUnstorableQuote(const QString &value);
QString storableValue(const QString &value);
