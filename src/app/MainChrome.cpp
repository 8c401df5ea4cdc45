#include "MainChrome.h"
#include "ui/MainFrame.h"
#include <QAction>

using namespace Qt::StringLiterals;

QString MainChrome::title() const
{
    return m_main.windowTitle();
}

void MainChrome::setTitle(const QString &title)
{
    m_main.setWindowTitle(title);
}

bool MainChrome::saveEnabled() const
{
    return m_main.action(u"mGuardar"_s)->isEnabled();
}

void MainChrome::setSaveEnabled(bool enabled)
{
    for (const QString &name : {u"mGuardar"_s, u"mGuardar_como"_s, u"mExportar"_s}) {
        if (QAction *action = m_main.action(name))
            action->setEnabled(enabled);
    }
}
