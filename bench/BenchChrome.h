#pragma once
// The log's title and save state for benchmarks, which have no window.
#include "history/LogChrome.h"

struct BenchChrome : LogChrome
{
    QString shown;
    bool enabled = false;
    QString title() const override { return shown; }
    void setTitle(const QString &title) override { shown = title; }
    bool saveEnabled() const override { return enabled; }
    void setSaveEnabled(bool on) override { enabled = on; }
};
