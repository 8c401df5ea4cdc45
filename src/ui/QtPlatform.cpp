#include "QtPlatform.h"
#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace {

// A message box is as wide as its longest unbroken word, and a long file name with its folders
// is one: shorten such words in the middle so the box stays well inside the screen.
QString shortenLongWords(const QString &text)
{
    constexpr qsizetype kLongest = 60, kHead = 25, kTail = 30;
    QString out;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !text.at(i).isSpace())
            continue;
        const QStringView word = QStringView(text).mid(start, i - start);
        if (word.size() > kLongest) {
            out += word.left(kHead);
            out += u'…';
            out += word.right(kTail);
        } else {
            out += word;
        }
        if (i < text.size())
            out += text.at(i);
        start = i + 1;
    }
    return out;
}

} // namespace

MessageSeam::Answer QtMessages::ask(const QString &text, const QString &title, Buttons buttons, Icon icon)
{
    QWidget *owner = m_owner ? m_owner : QApplication::activeWindow();
    QMessageBox box(owner);
    box.setWindowTitle(title);
    box.setText(shortenLongWords(text));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(icon == Icon::Critical ? QMessageBox::Critical
                : icon == Icon::Warning ? QMessageBox::Warning
                                        : QMessageBox::NoIcon);
    QPushButton *ok = box.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
    QPushButton *cancel = nullptr;
    if (buttons == Buttons::OkCancel) {
        cancel = box.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
        box.setEscapeButton(cancel);
    } else {
        box.setEscapeButton(ok);
    }
    box.setDefaultButton(ok);
    box.exec();
    if (box.clickedButton() == ok)
        return Answer::Ok;
    return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

void DesktopBrowser::open(const QString &address)
{
    // Whether a browser started is not our concern: the command returns at once.
    QDesktopServices::openUrl(QUrl(address));
}
