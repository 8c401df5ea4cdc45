#include "QtPlatform.h"
#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

MessageSeam::Answer QtMessages::ask(const QString &text, const QString &title, Buttons buttons, Icon icon)
{
    QWidget *owner = m_owner ? m_owner : QApplication::activeWindow();
    QMessageBox box(owner);
    box.setWindowTitle(title);
    box.setText(text);
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
