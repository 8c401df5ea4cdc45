#pragma once
// The seams through which the program reaches the platform: message boxes, the clock and the
// browser. The program installs Qt implementations; tests install fakes.
#include <QDateTime>
#include <QString>
#include <QStringList>

class QPrinter;
class QSettings;

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
    // A question with buttons of its own ("&Sí", "No guardar", ...): the index of the button
    // pressed. Enter presses `defaultButton`; Esc or closing the box answers `escapeButton`.
    virtual int choose(const QString &text, const QString &title, const QStringList &buttons, int defaultButton,
                       int escapeButton, Icon icon = Icon::None) = 0;
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

class FolderSeam
{
public:
    virtual ~FolderSeam() = default;
    // The platform's folder chooser, starting at `start`; empty when cancelled.
    virtual QString chooseFolder(const QString &title, const QString &start) = 0;
    // The platform's chooser of a file to open, in `start`, showing the names `filter` allows
    // ("Archivos ADIF (*.adi *.adx)"); empty when cancelled.
    virtual QString chooseFile(const QString &title, const QString &start, const QString &filter) = 0;
};

class PrintSeam
{
public:
    virtual ~PrintSeam() = default;
    // The platform's print dialog, which sets up `printer`; false when cancelled.
    virtual bool choosePrinter(QPrinter &printer, const QString &title) = 0;
};

struct Platform
{
    MessageSeam *messages = nullptr;
    ClockSeam *clock = nullptr;
    BrowserSeam *browser = nullptr;
    FolderSeam *folders = nullptr;
    QSettings *settings = nullptr;   // what the program keeps between runs besides its files
    PrintSeam *printing = nullptr;
};
