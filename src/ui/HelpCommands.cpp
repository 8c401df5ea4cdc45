#include "HelpCommands.h"

HelpCommands::HelpCommands(MainFrame &main, Platform platform, QObject *parent)
    : QObject(parent), m_main(main), m_platform(platform)
{
}
