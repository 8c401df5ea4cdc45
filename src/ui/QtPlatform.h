#pragma once
// The program's own implementations of the platform seams.
#include "common/Platform.h"

class QWidget;

class QtMessages : public MessageSeam
{
public:
    explicit QtMessages(QWidget *owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget *owner) { m_owner = owner; }
    Answer ask(const QString &text, const QString &title, Buttons buttons, Icon icon) override;
    int choose(const QString &text, const QString &title, const QStringList &buttons, int defaultButton,
               int escapeButton, Icon icon) override;

private:
    QWidget *m_owner;
};

class SystemClock : public ClockSeam
{
public:
    QDateTime now() const override;
};

class DialogFolders : public FolderSeam
{
public:
    explicit DialogFolders(QWidget *owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget *owner) { m_owner = owner; }
    QString chooseFolder(const QString &title, const QString &start) override;
    QString chooseFile(const QString &title, const QString &start, const QString &filter) override;

private:
    QWidget *m_owner;
};

class PrintDialog : public PrintSeam
{
public:
    explicit PrintDialog(QWidget *owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget *owner) { m_owner = owner; }
    bool choosePrinter(QPrinter &printer, const QString &title) override;

private:
    QWidget *m_owner;
};

class DesktopBrowser : public BrowserSeam
{
public:
    void open(const QString &address) override;
};
