#pragma once
#include <QString>

// What the window shows about the open log besides its rows: the title (which holds the
// current file name) and whether the save commands are available. Commands that change
// them take them back on undo.
class LogChrome
{
public:
    virtual ~LogChrome() = default;
    virtual QString title() const = 0;
    virtual void setTitle(const QString &title) = 0;
    virtual bool saveEnabled() const = 0;
    virtual void setSaveEnabled(bool enabled) = 0;
};
