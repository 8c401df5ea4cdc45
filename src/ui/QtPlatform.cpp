#include "QtPlatform.h"
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QShortcut>
#include <QUrl>

using namespace Qt::StringLiterals;

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
    if (buttons == Buttons::OkCancel)
        return choose(text, title, {u"Aceptar"_s, u"Cancelar"_s}, 0, 1, icon) == 0 ? Answer::Ok : Answer::Cancel;
    choose(text, title, {u"Aceptar"_s}, 0, 0, icon);
    return Answer::Ok;
}

int QtMessages::choose(const QString &text, const QString &title, const QStringList &buttons, int defaultButton,
                       int escapeButton, Icon icon)
{
    QWidget *owner = m_owner ? m_owner : QApplication::activeWindow();
    QMessageBox box(owner);
    box.setWindowTitle(title);
    box.setText(shortenLongWords(text));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(icon == Icon::Critical ? QMessageBox::Critical
                : icon == Icon::Warning ? QMessageBox::Warning
                                        : QMessageBox::NoIcon);
    QList<QPushButton *> pushed;
    for (qsizetype i = 0; i < buttons.size(); ++i)
        pushed << box.addButton(buttons.at(i), i == escapeButton ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
    if (defaultButton >= 0 && defaultButton < pushed.size())
        box.setDefaultButton(pushed.at(defaultButton));
    if (escapeButton >= 0 && escapeButton < pushed.size())
        box.setEscapeButton(pushed.at(escapeButton));
    // Ctrl+C copies the message, as message boxes on Windows do, to paste it in a report.
    const auto *copy = new QShortcut(QKeySequence::Copy, &box);
    QObject::connect(copy, &QShortcut::activated, &box,
                     [&] { QGuiApplication::clipboard()->setText(title + u"\n\n"_s + text); });
    box.exec();
    const qsizetype clicked = pushed.indexOf(static_cast<QPushButton *>(box.clickedButton()));
    return clicked >= 0 ? int(clicked) : escapeButton;
}

QString DialogFolders::chooseFolder(const QString &title, const QString &start)
{
    return QFileDialog::getExistingDirectory(m_owner, title, start);
}

QString DialogFolders::chooseFile(const QString &title, const QString &start, const QString &filter)
{
    return QFileDialog::getOpenFileName(m_owner, title, start, filter);
}

bool PrintDialog::choosePrinter(QPrinter &printer, const QString &title)
{
    QPrintDialog dialog(&printer, m_owner);
    dialog.setWindowTitle(title);
    return dialog.exec() == QDialog::Accepted;
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
