#include "LogbookCommands.h"

LogbookCommands::LogbookCommands(MainFrame &main, Platform platform, QString folder, QObject *parent)
    : QObject(parent), m_main(main), m_platform(platform), m_folder(std::move(folder))
{
}
