#pragma once
#include <QObject>

class ContactLog;

// "Ordenar" and "Borrar Línea". Deleting renumbers the rest 1, 2, 3, ...; with one contact or
// none the table is emptied and the save commands withdrawn.
class SortDeleteCommands : public QObject
{
    Q_OBJECT
public:
    explicit SortDeleteCommands(ContactLog &log, QObject *parent = nullptr);

    void mOrdenar_Click();
    void mBorra_linea_Click();

private:
    ContactLog &m_log;
};
