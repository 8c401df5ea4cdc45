#include "EntryForm.h"
#include "common/GridModel.h"
#include "history/ContactLog.h"
#include "common/LocalDateTime.h"
#include "ui/BoxText.h"
#include "ui/ClassicCombo.h"
#include "ui/MainFrame.h"
#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {
constexpr int kComment = 12;
constexpr int kManager = 11;
constexpr int kManagerItem = 2; // "MANAGER" in the route list
} // namespace

EntryForm::EntryForm(MainFrame &main, ContactLog &log, const ClockSeam &clock, QObject *parent)
    : QObject(parent), m_main(main), m_log(log), m_clock(clock)
{
    for (int i = 0; i <= kComment; ++i)
        m_fields << main.control(u"dato(%1)"_s.arg(i));
    m_fields << main.control(u"Datos(0)"_s) << main.control(u"Datos(1)"_s);
    for (QWidget *field : std::as_const(m_fields))
        field->installEventFilter(this);

    connect(datos(1), &ClassicCombo::picked, this,
            [this](int index) { dato(kManager)->setEnabled(index == kManagerItem); });
    connect(main.control<QPushButton>(u"Borrar"_s), &QPushButton::clicked, this, &EntryForm::Borrar_Click);
    connect(main.control<QPushButton>(u"Guardar"_s), &QPushButton::clicked, this, &EntryForm::Guardar_Click);
    connect(main.action(u"mContacto"_s), &QAction::triggered, this, &EntryForm::Guardar_Click);
}

QLineEdit *EntryForm::dato(int index) const
{
    return qobject_cast<QLineEdit *>(m_fields.value(index));
}

QPlainTextEdit *EntryForm::comment() const
{
    return qobject_cast<QPlainTextEdit *>(m_fields.value(kComment));
}

QString EntryForm::datoText(int index) const
{
    return index == kComment ? boxText(comment()) : dato(index)->text();
}

ClassicCombo *EntryForm::datos(int index) const
{
    return qobject_cast<ClassicCombo *>(m_fields.value(kComment + 1 + index));
}

bool EntryForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            enterPressed(watched);
            // A combo would otherwise match the typed text against its list; Enter means
            // only "next field" there. Text fields receive the key as usual.
            return qobject_cast<ClassicCombo *>(watched) != nullptr;
        }
    }
    return QObject::eventFilter(watched, event);
}

void EntryForm::enterPressed(QObject *field)
{
    const int index = m_fields.indexOf(static_cast<QWidget *>(field));
    QWidget *next = nullptr;
    if (index >= 0 && index <= kManager) {
        if (dato(index)->text().isEmpty())
            return; // an empty field keeps the focus; blanks count as filled
        next = index <= 9 ? m_fields.at(index + 1) : index == 10 ? datos(0) : m_fields.at(kComment);
    } else if (field == datos(0)) {
        next = datos(1);
    } else if (field == datos(1)) {
        next = datos(1)->selectedIndex() == kManagerItem ? m_fields.at(kManager) : m_fields.at(kComment);
    }
    if (next)
        next->setFocus(Qt::TabFocusReason);
}

void EntryForm::stampDateTime()
{
    const QDateTime now = m_clock.now();
    dato(8)->setText(localtext::shortDate(now));
    dato(9)->setText(localtext::longTime(now));
}

void EntryForm::Borrar_Click()
{
    for (int i = 0; i < kComment; ++i)
        dato(i)->clear();
    comment()->clear();
    stampDateTime();
    emit formTaken();
}

void EntryForm::Guardar_Click()
{
    // The command numbers the row by its own index and makes the save commands available.
    QStringList cells;
    cells.reserve(16);
    for (int c = 1; c <= 11; ++c)
        cells << dato(c - 1)->text();
    cells << datos(0)->text();
    cells << (datos(1)->selectedIndex() == kManagerItem ? dato(kManager)->text() : datos(1)->text());
    cells << u"NO"_s << u"NO"_s;
    cells << boxText(comment());
    m_log.addContact(cells);

    stampDateTime();
    emit formTaken();
}
