#pragma once
#include "FormWindow.h"
#include "WindowSlot.h"
#include "common/Platform.h"
#include <QObject>

class MainFrame;

// The sponsor banner, the two web links and the About box.
class HelpCommands : public QObject
{
    Q_OBJECT
public:
    HelpCommands(MainFrame &main, Platform platform, QObject *parent = nullptr);

    void Banner_Click();
    void mAyuda_enlinea_Click();
    void mSitio_Click();
    void mAcerca_Click();                  // shows the About window, created once
    void cmdOK_Click();                    // About: Aceptar (also Enter and Esc) closes it for good

    FormWindow *aboutWindow() const { return m_about.window(); }
    bool aboutExists() const { return m_about.exists(); }

private:
    FormWindow *createAbout();
    // Hands an address to the browser; whether one started is not our concern.
    void openAddress(const QString &address);

    MainFrame &m_main;
    Platform m_platform;
    Slot<FormWindow> m_about;
};
