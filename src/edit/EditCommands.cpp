#include "EditCommands.h"
#include "ClipboardCommands.h"
#include "ReplaceCommands.h"
#include "SearchCommands.h"
#include "SortDeleteCommands.h"
#include "history/ContactLog.h"
#include "ui/MainFrame.h"
#include <QAction>

using namespace Qt::StringLiterals;

EditCommands::EditCommands(MainFrame &main, ContactLog &log, Variables &variables, MessageSeam &messages,
                           QObject *parent)
    : QObject(parent),
      m_main(main),
      m_log(log),
      m_search(new SearchCommands(main, this)),
      m_sortDelete(new SortDeleteCommands(log, this)),
      m_clipboard(new ClipboardCommands(log, variables, this)),
      m_replace(new ReplaceCommands(main, log, messages, this))
{
    connect(main.action(u"mRemplazar"_s), &QAction::triggered, m_replace, &ReplaceCommands::mRemplazar_Click);
    connect(main.action(u"mDeshacer"_s), &QAction::triggered, &log, &ContactLog::undo);
    connect(main.action(u"mRehacer"_s), &QAction::triggered, &log, &ContactLog::redo);
    connect(&log, &ContactLog::historyChanged, this, &EditCommands::showHistory);
    showHistory();
    connect(main.action(u"mBuscar"_s), &QAction::triggered, m_search, &SearchCommands::mBuscar_Click);
    connect(main.action(u"mBuscar_Siguiente"_s), &QAction::triggered, m_search, &SearchCommands::mBuscar_Siguiente_Click);
    connect(main.action(u"mOrdenar"_s), &QAction::triggered, m_sortDelete, &SortDeleteCommands::mOrdenar_Click);
    connect(main.action(u"mBorra_linea"_s), &QAction::triggered, m_sortDelete, &SortDeleteCommands::mBorra_linea_Click);
    // The menu items always mean the table's current cell. A focused entry field keeps
    // Ctrl+X, Ctrl+C and Ctrl+V for itself before they reach these items.
    connect(main.action(u"mCortar"_s), &QAction::triggered, m_clipboard, &ClipboardCommands::mCortar_Click);
    connect(main.action(u"mCopiar"_s), &QAction::triggered, m_clipboard, &ClipboardCommands::mCopiar_Click);
    connect(main.action(u"mPegar"_s), &QAction::triggered, m_clipboard, &ClipboardCommands::mPegar_Click);
}

void EditCommands::showHistory()
{
    QAction *undo = m_main.action(u"mDeshacer"_s);
    undo->setEnabled(m_log.canUndo());
    undo->setText(m_log.canUndo() ? u"&Deshacer "_s + m_log.undoText() : u"&Deshacer"_s);
    QAction *redo = m_main.action(u"mRehacer"_s);
    redo->setEnabled(m_log.canRedo());
    redo->setText(m_log.canRedo() ? u"&Rehacer "_s + m_log.redoText() : u"&Rehacer"_s);
}
