#pragma once
#include "common/Platform.h"
#include <QObject>

class MainFrame;

// The sponsor banner, the two web links and the About box.
class HelpCommands : public QObject
{
    Q_OBJECT
public:
    HelpCommands(MainFrame &main, Platform platform, QObject *parent = nullptr);

private:
    MainFrame &m_main;
    Platform m_platform;
};
