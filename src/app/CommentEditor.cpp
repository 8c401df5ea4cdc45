#include "CommentEditor.h"
#include "common/GridModel.h"
#include "history/ContactLog.h"
#include "ui/BoxText.h"
#include "ui/FormWindow.h"
#include "ui/Layouts.h"
#include "ui/MainFrame.h"
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {
constexpr int kCommentCol = 16;

bool blankOnly(const QString &text)
{
    for (QChar ch : text) {
        if (ch != u' ')
            return false;
    }
    return true;
}
} // namespace

CommentEditor::CommentEditor(MainFrame &main, ContactLog &log, QObject *parent)
    : QObject(parent), m_main(main), m_log(log), m_slot([this] { return create(); }, this)
{
    connect(main.control<QPushButton>(u"Comentario"_s), &QPushButton::clicked, this, &CommentEditor::Comentario_Click);
    GridModel &libro = main.libro();
    connect(&libro, &QAbstractItemModel::rowsRemoved, this, &CommentEditor::dropIfGone);
    connect(&libro, &QAbstractItemModel::modelReset, this, &CommentEditor::dropIfGone);
}

FormWindow *CommentEditor::create()
{
    auto *window = new FormWindow(layouts::fComentario(), &m_main);
    connect(window->button(u"Aceptar"_s), &QPushButton::clicked, this, &CommentEditor::Aceptar_Click);
    connect(window->button(u"Cancelar"_s), &QPushButton::clicked, this, &CommentEditor::Cancelar_Click);
    return window;
}

int CommentEditor::editorRow() const
{
    return m_contact.isValid() ? m_main.libro().gridRow(m_contact) : 0;
}

void CommentEditor::Comentario_Click()
{
    GridModel &libro = m_main.libro();
    const int row = libro.Row();
    if (libro.Rows() <= 1 || row < 1 || row >= libro.Rows())
        return;
    const QString text = libro.TextMatrix(row, kCommentCol);
    if (blankOnly(text))
        return; // an open editor stays as it is, still bound to its contact
    m_contact = QPersistentModelIndex(libro.indexFor(row, kCommentCol));
    FormWindow *window = m_slot.get();
    auto *coment = window->control<QPlainTextEdit>(u"coment"_s);
    coment->setPlainText(text);
    m_opened = text;
    m_openedAsShown = boxText(coment);
    m_slot.show();
}

void CommentEditor::Aceptar_Click()
{
    FormWindow *window = m_slot.get();
    if (m_contact.isValid()) {
        // Untouched, the comment goes back as it came: the box shows every kind of line break
        // as one and the same.
        const QString shown = boxText(window->control<QPlainTextEdit>(u"coment"_s));
        const QString text = shown == m_openedAsShown ? m_opened : shown;
        m_log.setCell(m_main.libro().gridRow(m_contact), kCommentCol, text, u"Comentario"_s);
    }
    m_slot.hide();
}

void CommentEditor::Cancelar_Click()
{
    m_slot.hide();
}

void CommentEditor::dropIfGone()
{
    // The contact was deleted, or the log replaced: nothing left to write to.
    if (!m_contact.isValid() && m_slot.isShown())
        m_slot.hide();
}
