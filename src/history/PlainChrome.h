#pragma once
#include "LogChrome.h"

// A log's chrome kept as two values, where no window shows it: a journal replayed aside,
// benchmarks, the fuzz checks.
struct PlainChrome : LogChrome
{
    QString shown;
    bool enabled = false;
    QString title() const override { return shown; }
    void setTitle(const QString &title) override { shown = title; }
    bool saveEnabled() const override { return enabled; }
    void setSaveEnabled(bool on) override { enabled = on; }
};
