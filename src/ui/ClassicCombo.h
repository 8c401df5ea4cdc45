#pragma once
#include <QComboBox>

// An editable drop-down combo that behaves like the classic one: typed text is never added
// to the list, and the selected list position is the item last picked from the list
// (mouse or keyboard). Typing clears it, even when the typed text equals an item.
class ClassicCombo : public QComboBox
{
    Q_OBJECT
public:
    explicit ClassicCombo(QWidget *parent = nullptr);
    int selectedIndex() const { return m_selected; }
    void setText(const QString &text);        // as typed: clears the selected position
    QString text() const { return currentText(); }

signals:
    void picked(int index);                   // an item was picked from the list

private:
    int m_selected = -1;
};
