#pragma once
// Test doubles for the platform seams: they record what the program asked and answer as
// the test scripted.
#include "common/Platform.h"
#include <QList>
#include <QPrinter>
#include <QSettings>
#include <QStringList>
#include <memory>

struct FakeMessages : MessageSeam
{
    struct Asked { QString text, title; Buttons buttons; Icon icon; QStringList choices = {}; };
    QList<Asked> asked;
    QList<Answer> answers;              // consumed in order; Ok when empty
    QList<int> choices;                 // for choose(): consumed in order; the default when empty

    Answer ask(const QString &text, const QString &title, Buttons buttons, Icon icon) override
    {
        asked.append({text, title, buttons, icon});
        return answers.isEmpty() ? Answer::Ok : answers.takeFirst();
    }
    int choose(const QString &text, const QString &title, const QStringList &buttons, int defaultButton, int,
               Icon icon) override
    {
        asked.append({text, title, Buttons::Ok, icon, buttons});
        return choices.isEmpty() ? defaultButton : choices.takeFirst();
    }
};

struct FakeFolders : FolderSeam
{
    QString answer;                     // what the chooser returns
    QString chooseFolder(const QString &, const QString &) override { return answer; }
    QString chooseFile(const QString &, const QString &, const QString &) override { return answer; }
};

// The print dialog answered by printing to a PDF file, or cancelled when it has no name.
struct FakePrinting : PrintSeam
{
    QString pdf;
    bool choosePrinter(QPrinter &printer, const QString &) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return !pdf.isEmpty();
    }
};

struct FakeClock : ClockSeam
{
    QDateTime moment{QDate(2001, 2, 12), QTime(22, 52, 30)};
    QDateTime now() const override { return moment; }
};

struct FakeBrowser : BrowserSeam
{
    QStringList opened;
    void open(const QString &address) override { opened.append(address); }
};

struct FakePlatform
{
    FakeMessages messages;
    FakeClock clock;
    FakeBrowser browser;
    FakeFolders folders;
    std::unique_ptr<QSettings> settings;
    FakePrinting printing;
    Platform platform() { return {&messages, &clock, &browser, &folders, settings.get(), &printing}; }
};
