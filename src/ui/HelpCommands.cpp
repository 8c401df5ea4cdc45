#include "HelpCommands.h"
#include "AboutWindow.h"
#include "Layouts.h"
#include "MainFrame.h"
#include "SmallControls.h"
#include "WebLinks.h"
#include <QAction>
#include <QPushButton>

using namespace Qt::StringLiterals;

HelpCommands::HelpCommands(MainFrame &main, Platform platform, QObject *parent)
    : QObject(parent), m_main(main), m_platform(platform), m_about([this] { return createAbout(); }, this)
{
    connect(main.control<PictureBox>(u"Banner"_s), &PictureBox::clicked, this, &HelpCommands::Banner_Click);
    connect(main.action(u"mAyuda_enlinea"_s), &QAction::triggered, this, &HelpCommands::mAyuda_enlinea_Click);
    connect(main.action(u"mSitio"_s), &QAction::triggered, this, &HelpCommands::mSitio_Click);
    connect(main.action(u"mAcerca"_s), &QAction::triggered, this, &HelpCommands::mAcerca_Click);
}

void HelpCommands::openAddress(const QString &address)
{
    if (m_platform.browser)
        m_platform.browser->open(address);
}

void HelpCommands::Banner_Click()
{
    openAddress(weblinks::sponsor());
}

void HelpCommands::mAyuda_enlinea_Click()
{
    openAddress(weblinks::help());
}

void HelpCommands::mSitio_Click()
{
    openAddress(weblinks::site());
}

FormWindow *HelpCommands::createAbout()
{
    auto *window = new FormWindow(layouts::acerca(), &m_main);
    connect(window->button(u"cmdOK"_s), &QPushButton::clicked, this, &HelpCommands::cmdOK_Click);
    loadAboutTexts(*window, programIdentity());
    return window;
}

void HelpCommands::mAcerca_Click()
{
    m_about.show(); // an open window only comes forward; its texts are not set again
}

void HelpCommands::cmdOK_Click()
{
    if (FormWindow *window = m_about.window())
        window->close(); // destroyed: the next opening loads it afresh
}
