#pragma once
#include "history/LogChrome.h"
#include <QStringList>

class MainFrame;

// The log's chrome on the main window: its title, and the save commands that are enabled and
// disabled together ("Guardar", "Guardar como...", "Exportar").
class MainChrome : public LogChrome
{
public:
    explicit MainChrome(MainFrame &main) : m_main(main) {}
    QString title() const override;
    void setTitle(const QString &title) override;
    bool saveEnabled() const override;
    void setSaveEnabled(bool enabled) override;

private:
    MainFrame &m_main;
};
