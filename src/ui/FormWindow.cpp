#include "FormWindow.h"
#include "FormBuilder.h"
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <limits>

FormWindow::FormWindow(const WindowLayout &layout, QWidget *owner) : QWidget(owner)
{
    setAttribute(Qt::WA_DeleteOnClose);
    FormBuilder::applyWindow(this, layout);
    m_controls = FormBuilder::build(this, layout.controls);
    int firstTab = std::numeric_limits<int>::max();
    for (const ControlLayout &c : layout.controls) {
        if (c.flags & ControlFlag::DefaultButton)
            m_defaultButton = c.name;
        if (c.flags & ControlFlag::CancelButton)
            m_cancelButton = c.name;
        QWidget *w = m_controls.value(c.name);
        if (c.tab >= 0 && c.tab < firstTab && w->focusPolicy() != Qt::NoFocus) {
            firstTab = c.tab;
            m_firstFocus = c.name;
        }
    }
    if (QWidget *first = m_controls.value(m_firstFocus))
        first->setFocus(Qt::OtherFocusReason);
}

QPushButton *FormWindow::button(const QString &name) const
{
    return control<QPushButton>(name);
}

QLineEdit *FormWindow::lineEdit(const QString &name) const
{
    return control<QLineEdit>(name);
}

void FormWindow::focusFirstControl()
{
    if (QWidget *first = m_controls.value(m_firstFocus))
        first->setFocus(Qt::OtherFocusReason);
}

void FormWindow::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !m_defaultButton.isEmpty()) {
        button(m_defaultButton)->click();
        return;
    }
    if (event->key() == Qt::Key_Escape && !m_cancelButton.isEmpty()) {
        button(m_cancelButton)->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
