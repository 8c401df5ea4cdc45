#pragma once
#include "FormLayout.h"
#include <QHash>
#include <QWidget>

class QPushButton;
class QLineEdit;

// A secondary window built from its layout table. Closing it through its frame destroys
// it; its own buttons only hide it (the owner decides).
class FormWindow : public QWidget
{
    Q_OBJECT
public:
    FormWindow(const WindowLayout &layout, QWidget *owner);

    QWidget *control(const QString &name) const { return m_controls.value(name); }
    template<class T> T *control(const QString &name) const { return qobject_cast<T *>(m_controls.value(name)); }
    QPushButton *button(const QString &name) const;
    QLineEdit *lineEdit(const QString &name) const;
    // Puts the focus on the first control of the focus order, as a new window does.
    void focusFirstControl();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QHash<QString, QWidget *> m_controls;
    QString m_defaultButton, m_cancelButton;
    QString m_firstFocus;
};
