#pragma once
#include "common/Platform.h"
#include <QObject>

class MainFrame;

// The DXCC list: "Ver" opens its window, read from dxcc.dat in the working folder.
class DxccCommands : public QObject
{
    Q_OBJECT
public:
    DxccCommands(MainFrame &main, Platform platform, QString folder, QObject *parent = nullptr);

private:
    MainFrame &m_main;
    Platform m_platform;
    QString m_folder;
};
