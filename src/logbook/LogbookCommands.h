#pragma once
#include "common/Platform.h"
#include <QObject>

class MainFrame;

// Open, new, save, save as and import, with their windows.
class LogbookCommands : public QObject
{
    Q_OBJECT
public:
    // Relative file names are taken in `folder` (the working folder).
    LogbookCommands(MainFrame &main, Platform platform, QString folder, QObject *parent = nullptr);

private:
    MainFrame &m_main;
    Platform m_platform;
    QString m_folder;
};
