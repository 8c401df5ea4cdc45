#pragma once
#include "ui/FormWindow.h"
#include "ui/WindowSlot.h"
#include "common/Platform.h"
#include "common/UtcConversion.h"
#include <QObject>
#include <QStringList>

class MainFrame;
class FormWindow;

// The station data: the user configuration window, USUARIO.CFG and the UTC offset.
class UserConfig : public QObject
{
    Q_OBJECT
public:
    UserConfig(MainFrame &main, Platform platform, QString folder, QObject *parent = nullptr);

    qint16 difUtc() const { return m_difUtc; }
    // The system's time zone, or the fixed offset of the UTC box, as last applied.
    UtcConversion conversion() const;
    bool usesSystemZone() const { return m_useZone; }
    // Reads the file, when there is one, into the hidden window and sets the offset.
    void load();
    void mUsuario_Click();                    // shows the window
    FormWindow *window() { return m_slot.window(); }
    bool windowExists() const { return m_slot.exists(); }
    QStringList values();                     // the seven texts, creating the window if needed

    void Command4_Click();                    // Aceptar: save, apply, hide
    void Command3_Click();                    // Cancelar: hide

signals:
    void conversionChanged(const UtcConversion &utc);

private:
    FormWindow *create();
    void setValues(const QStringList &values);
    void applyOffset(const QString &text);
    void showZoneChoice(FormWindow *window); // the UTC box as the check box wants it
    QString filePath() const;

    MainFrame &m_main;
    Platform m_platform;
    QString m_folder;
    Slot<FormWindow> m_slot;
    qint16 m_difUtc = 0;
    bool m_useZone = false;
    QString m_loadedName;                    // the name the file was found under
};
