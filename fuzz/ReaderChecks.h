#pragma once
// What the file readers promise for any bytes at all, as checks that name the broken promise.
// The fuzz harnesses abort on a failed check; the reliability tests run every saved input
// through the same checks, so a fault once found stays fixed.
#include <QByteArray>
#include <QString>

// The two files a check works with: the input it reads, and what it writes back. Kept for the
// whole process and rewritten for each input.
class CheckFiles
{
public:
    explicit CheckFiles(const QString &folder);
    const QString &input() const { return m_input; }
    const QString &output() const { return m_output; }
    bool writeInput(const QByteArray &bytes) const;

private:
    QString m_input;
    QString m_output;
};

// Each check reads `bytes` (written to files.input()) and returns an empty text when every
// promise holds, otherwise what was broken.

// .LBR into an empty table: accepted exactly when the file is well formed, with the cells the
// file holds; an accepted table written back has 1 + 16 N CR LF lines and reads back the same;
// a refused file gives an error and no rows.
QString checkLibroIntoEmpty(const CheckFiles &files, const QByteArray &bytes);
// .LBR into a table that already holds contacts, the way Importar does it: accepted, the old
// rows stay as they were and the new ones follow, all renumbered; refused, the table is as before.
QString checkLibroAppend(const CheckFiles &files, const QByteArray &bytes);
// USUARIO.CFG: every item converts as an offset (with the sign and rounding checked on plain
// decimals); an undamaged file written back from its storable values reads back the same.
QString checkUserConfig(const CheckFiles &files, const QByteArray &bytes);
// dxcc.dat: accepted exactly when well formed, with as many rows as announced and the cells
// the file holds; refused, an error and no rows.
QString checkDxcc(const CheckFiles &files, const QByteArray &bytes);

// The checks by the harness names, for running saved inputs; null for an unknown name.
using ReaderCheck = QString (*)(const CheckFiles &, const QByteArray &);
ReaderCheck readerCheck(const QString &harness);
