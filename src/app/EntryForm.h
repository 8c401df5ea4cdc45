#pragma once
#include "common/Platform.h"
#include <QObject>
#include <QStringList>

class ContactLog;
class MainFrame;
class QLineEdit;
class QPlainTextEdit;
class ClassicCombo;
class QWidget;

// The entry form beside the table: Enter moves from field to field, the manager field
// follows the route picked, "Borrar Todo" clears the form, and the add command turns the
// form into a new numbered row.
class EntryForm : public QObject
{
    Q_OBJECT
public:
    EntryForm(MainFrame &main, ContactLog &log, const ClockSeam &clock, QObject *parent = nullptr);

    QLineEdit *dato(int index) const;            // 0..11
    QPlainTextEdit *comment() const;             // dato(12)
    QString datoText(int index) const;           // 0..12
    ClassicCombo *datos(int index) const;        // 0 mode, 1 route

    void stampDateTime();                        // date and time fields := now
    void Borrar_Click();
    void Guardar_Click();                        // the add command ("Aceptar" and "Agregar Contacto")

signals:
    void formTaken();                            // added as a contact, or cleared by "Borrar Todo"

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void enterPressed(QObject *field);

    MainFrame &m_main;
    ContactLog &m_log;
    const ClockSeam &m_clock;
    QList<QWidget *> m_fields;                   // dato(0)..dato(12), then Datos(0), Datos(1)
};
