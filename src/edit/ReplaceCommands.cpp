#include "ReplaceCommands.h"
#include "Replace.h"
#include "common/Cp1252.h"
#include "common/FileErrors.h"
#include "history/ContactLog.h"
#include "ui/FormWindow.h"
#include "ui/Layouts.h"
#include "ui/MainFrame.h"
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

using namespace Qt::StringLiterals;

namespace {
const QString kTitle = u"Reemplazar"_s;
} // namespace

ReplaceCommands::ReplaceCommands(MainFrame &main, ContactLog &log, MessageSeam &messages, QObject *parent)
    : QObject(parent), m_main(main), m_log(log), m_messages(messages), m_slot([this] { return create(); }, this)
{
}

FormWindow *ReplaceCommands::create()
{
    auto *window = new FormWindow(layouts::remplazar(), &m_main);
    connect(window->button(u"Command1"_s), &QPushButton::clicked, this, &ReplaceCommands::Command1_Click);
    connect(window->button(u"Command2"_s), &QPushButton::clicked, this, &ReplaceCommands::Command2_Click);
    connect(window->button(u"Command3"_s), &QPushButton::clicked, this, &ReplaceCommands::Command3_Click);
    return window;
}

void ReplaceCommands::mRemplazar_Click()
{
    m_slot.show();
}

void ReplaceCommands::Command3_Click()
{
    m_slot.hide();
}

void ReplaceCommands::say(const QString &text)
{
    m_messages.ask(text, kTitle, MessageSeam::Buttons::Ok, MessageSeam::Icon::None);
}

bool ReplaceCommands::rule(CellReplacer *&replacer, ReplaceScope &scope)
{
    FormWindow *w = m_slot.get();
    const QString find = w->lineEdit(u"cBusqueda"_s)->text();
    const QString with = w->lineEdit(u"cReemplazo"_s)->text();
    if (find.isEmpty()) {
        say(u"Escriba en «Buscar» el texto que desea reemplazar."_s);
        return false;
    }
    // What the log book file could not hold is never put into the table.
    if (const qsizetype bad = cp1252::firstUnstorable(with); bad >= 0) {
        say(u"No se puede reemplazar: el texto «Reemplazar por» contiene el carácter %1, que un libro de "
            u"guardia no admite. Cámbielo y vuelva a intentarlo."_s.arg(describeCharacter(with, bad)));
        return false;
    }
    scope.onlyColumn = w->control<QCheckBox>(u"Check2"_s)->isChecked();
    scope.column = std::max(1, m_log.table().Col());
    replacer = new CellReplacer(find, with, w->control<QCheckBox>(u"Check1"_s)->isChecked());
    return true;
}

void ReplaceCommands::Command1_Click()
{
    CellReplacer *made = nullptr;
    ReplaceScope scope;
    if (!rule(made, scope))
        return;
    const std::unique_ptr<CellReplacer> replacer(made);
    GridModel &table = m_log.table();
    const int row = table.Row(), col = table.Col();
    if (row >= 1 && col >= 1 && replacer->matches(table.TextMatrix(row, col)))
        m_log.setCell(row, col, replacer->replaced(table.TextMatrix(row, col)), u"Reemplazar"_s);
    const CellAt next = nextMatch(table, *replacer, scope, row, col);
    if (!next.found()) {
        say(u"No hay más celdas con «%1»."_s.arg(m_slot.get()->lineEdit(u"cBusqueda"_s)->text()));
        return;
    }
    table.setCol(next.col);
    table.setRow(next.row);
}

void ReplaceCommands::Command2_Click()
{
    CellReplacer *made = nullptr;
    ReplaceScope scope;
    if (!rule(made, scope))
        return;
    const std::unique_ptr<CellReplacer> replacer(made);
    std::vector<CellText> cells = replaceAll(m_log.table(), *replacer, scope);
    const size_t changed = cells.size();
    m_log.setCells(std::move(cells), u"Reemplazar todo"_s);
    say(changed == 0   ? u"No se encontró «%1»."_s.arg(m_slot.get()->lineEdit(u"cBusqueda"_s)->text())
        : changed == 1 ? u"Se reemplazó el texto en 1 celda."_s
                       : u"Se reemplazó el texto en %1 celdas."_s.arg(changed));
}
