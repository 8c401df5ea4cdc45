#include "EditCommands.h"
#include "ClipboardCommands.h"
#include "SearchCommands.h"
#include "SortDeleteCommands.h"
#include "ui/MainFrame.h"
#include <QAction>

using namespace Qt::StringLiterals;

EditCommands::EditCommands(MainFrame &main, Variables &variables, QObject *parent)
    : QObject(parent),
      m_search(new SearchCommands(main, this)),
      m_sortDelete(new SortDeleteCommands(main, this)),
      m_clipboard(new ClipboardCommands(main.libro(), variables, this))
{
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
