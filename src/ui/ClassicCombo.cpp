#include "ClassicCombo.h"
#include <QLineEdit>

ClassicCombo::ClassicCombo(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setDuplicatesEnabled(true);
    setCompleter(nullptr); // no auto-completion: the text is exactly what was typed
    connect(this, &QComboBox::activated, this, [this](int index) {
        m_selected = index;
        emit picked(index);
    });
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { m_selected = -1; });
}

void ClassicCombo::setText(const QString &text)
{
    m_selected = -1;
    setEditText(text);
}
