#pragma once
#include "ui/FormWindow.h"
#include "ui/WindowSlot.h"
#include "common/Platform.h"
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
    // Reads the file, when there is one, into the hidden window and sets the offset.
    void load();
    void mUsuario_Click();                    // shows the window
    FormWindow *window() { return m_slot.window(); }
    bool windowExists() const { return m_slot.exists(); }
    QStringList values();                     // the seven texts, creating the window if needed

    void Command4_Click();                    // Aceptar: save, apply, hide
    void Command3_Click();                    // Cancelar: hide

signals:
    void difUtcChanged(qint16 difUtc);

private:
    FormWindow *create();
    void setValues(const QStringList &values);
    void applyOffset(const QString &text);
    QString filePath() const;

    MainFrame &m_main;
    Platform m_platform;
    QString m_folder;
    Slot<FormWindow> m_slot;
    qint16 m_difUtc = 0;
    QString m_loadedName;                    // the name the file was found under
};
