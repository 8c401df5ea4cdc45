#pragma once
#include <QObject>
#include <QString>

class CallIndex;
class MainFrame;
class QAction;
class QSettings;

// A station already in the log is greeted: when the operator leaves "Indicativo", the empty
// fields from "Nombre" to "Casilla Correo" take what the latest contact with that call has,
// and the status bar says from when. A field the operator typed is never touched; one the
// greeting filled is filled again for another call. "Configuración > Completar con el último
// contacto" turns it off, and the choice is kept in the settings.
class Greeting : public QObject
{
    Q_OBJECT
public:
    Greeting(MainFrame &main, CallIndex &index, QSettings *settings, QObject *parent = nullptr);

    void greet();                     // what leaving "Indicativo" does

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static constexpr int kFields = 6; // dato(1) .. dato(6)
    MainFrame &m_main;
    CallIndex &m_index;
    QSettings *m_settings;
    QAction *m_enabled;
    QString m_filled[kFields];        // what the greeting put in each field
};
