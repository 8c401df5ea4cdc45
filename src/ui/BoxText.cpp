#include "BoxText.h"
#include <QPlainTextEdit>
#include <QTextDocument>

QString boxText(const QPlainTextEdit *box)
{
    QString text = box->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}
