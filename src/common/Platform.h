#pragma once
// The seams through which the program reaches the platform: message boxes, the clock and the
// browser. The program installs Qt implementations; tests install fakes.
#include <QDateTime>
#include <QString>

class MessageSeam
{
public:
    enum class Buttons { Ok, OkCancel };
    enum class Icon { None, Warning, Critical };
    enum class Answer { Ok, Cancel };
    virtual ~MessageSeam() = default;
    // Shows a message box; closing it by its frame answers Cancel (or Ok for a lone OK button).
    virtual Answer ask(const QString &text, const QString &title, Buttons buttons,
                       Icon icon = Icon::None) = 0;
};

class ClockSeam
{
public:
    virtual ~ClockSeam() = default;
    virtual QDateTime now() const = 0;      // current local date and time
};

class BrowserSeam
{
public:
    virtual ~BrowserSeam() = default;
    virtual void open(const QString &address) = 0; // result ignored by design
};

struct Platform
{
    MessageSeam *messages = nullptr;
    ClockSeam *clock = nullptr;
    BrowserSeam *browser = nullptr;
};
