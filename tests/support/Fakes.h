#pragma once
// Test doubles for the platform seams: they record what the program asked and answer as
// the test scripted.
#include "common/Platform.h"
#include <QList>
#include <QStringList>

struct FakeMessages : MessageSeam
{
    struct Asked { QString text, title; Buttons buttons; Icon icon; };
    QList<Asked> asked;
    QList<Answer> answers;              // consumed in order; Ok when empty

    Answer ask(const QString &text, const QString &title, Buttons buttons, Icon icon) override
    {
        asked.append({text, title, buttons, icon});
        return answers.isEmpty() ? Answer::Ok : answers.takeFirst();
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
    Platform platform() { return {&messages, &clock, &browser}; }
};
