#pragma once
#include "WorkedEntities.h"
#include "ui/FormWindow.h"
#include "ui/WindowSlot.h"
#include <QObject>
#include <QTimer>

class MainFrame;
class QStandardItemModel;
class QSortFilterProxyModel;
class QTableView;

// "Países trabajados": the worked entities of the log band by band, filtered by mode and by
// confirmation, sortable by its headings; a double click takes the main table to the latest
// contact behind a mark. It follows the log while it is open. Also keeps the status bar's
// line for the call sign being typed.
class WorkedCommands : public QObject
{
    Q_OBJECT
public:
    WorkedCommands(MainFrame &main, CallIndex &index, QObject *parent = nullptr);

    void mTrabajados_Click();
    FormWindow *window() const { return m_slot.window(); }
    QTableView *table() const { return m_view; }
    void refresh();                     // the table again, from the log as it is now
    void showStatus();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FormWindow *create();
    ModeFilter filter() const;
    bool onlyConfirmed() const;
    void goToContact(const QModelIndex &index);

    MainFrame &m_main;
    CallIndex &m_index;
    Slot<FormWindow> m_slot;
    QStandardItemModel *m_model = nullptr;
    QSortFilterProxyModel *m_sorted = nullptr;
    QTableView *m_view = nullptr;
    WorkedTable m_shown;
    QTimer m_later;                     // changes come in bursts (an import): one refresh for all
    QString m_statusLine;               // the call's line last shown
};
