#pragma once
#include <QString>

class QPlainTextEdit;

// The text of a multi-line box character for character, line breaks as "\n".
// QPlainTextEdit::toPlainText() would turn no-break spaces into plain ones.
QString boxText(const QPlainTextEdit *box);
