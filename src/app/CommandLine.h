#pragma once
// What the program is asked to do when started: run, perhaps with a file to begin with, or
// answer --help or --version and end. Read before any window exists, so the answers need
// no display.
#include <QString>
#include <QStringList>

struct CommandLine
{
    enum class Action { Run, Answer, Refuse };
    Action action = Action::Run;
    QString file;   // Run: the log book to open or the ADIF file to import; empty for none
    QString text;   // Answer: for the standard output; Refuse: for the error output
};

// `arguments` without the program's name.
CommandLine readCommandLine(const QStringList &arguments, const QString &version, const QString &dataFolder);
