#include "AccessibleWidgets.h"
#include "ClassicCombo.h"
#include "FormWindow.h"
#include "NewsLabel.h"
#include "SmallControls.h"
#include "TableAccessible.h"
#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTimer>

namespace {

// Qt names a combo box on Linux by the text it shows, whatever name it was given; here the
// name is its label's and the text is its value. Children as Qt gives them: the list, then
// the text field of an editable one.
class ComboAccessible : public QAccessibleWidget
{
public:
    explicit ComboAccessible(QComboBox *combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}
    QComboBox *combo() const { return static_cast<QComboBox *>(widget()); }

    int childCount() const override { return combo()->isEditable() ? 2 : 1; }
    QAccessibleInterface *child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(combo()->view());
        if (index == 1 && combo()->isEditable())
            return QAccessible::queryAccessibleInterface(combo()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (child->object() == combo()->view())
            return 0;
        return combo()->isEditable() && child->object() == combo()->lineEdit() ? 1 : -1;
    }
    QAccessibleInterface *focusChild() const override { return combo()->isEditable() ? child(1) : nullptr; }
    QString text(QAccessible::Text t) const override
    {
        const QString value = combo()->currentText();
        if (t == QAccessible::Value)
            return value;
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return value;
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = combo()->view()->isVisible();
        s.editable = combo()->isEditable();
        return s;
    }
    QStringList actionNames() const override { return QStringList{showMenuAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString &action) override
    {
        if (action == showMenuAction())
            combo()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }
};

// The banner: a button that opens the sponsor's page.
class PictureAccessible : public QAccessibleWidget
{
public:
    explicit PictureAccessible(PictureBox *picture) : QAccessibleWidget(picture) {}
    bool clickable() const { return static_cast<PictureBox *>(widget())->isClickable(); }
    QAccessible::Role role() const override { return clickable() ? QAccessible::Button : QAccessible::Graphic; }
    QStringList actionNames() const override
    {
        return (clickable() ? QStringList{pressAction()} : QStringList()) + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        if (action == pressAction())
            static_cast<PictureBox *>(widget())->click();
        else
            QAccessibleWidget::doAction(action);
    }
};

// The status bar's news, told as a notification when it is announced.
class NewsAccessible : public QAccessibleWidget
{
public:
    explicit NewsAccessible(NewsLabel *label) : QAccessibleWidget(label, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<NewsLabel *>(widget())->announced();
        return QAccessibleWidget::text(t);
    }
};

// A text field tells of its caret as it takes the focus, before Qt tells of the focus; Orca
// then takes the field as already current and never says its name. What the caret does while
// the focus moves is left untold: a screen reader reads the field's text with its name.
class FocusFirst : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn && !s_moving && QAccessible::isActive()) {
            s_moving = true;
            QTimer::singleShot(0, this, [] { s_moving = false; });
        }
        return false;
    }
    static void pass(QAccessibleEvent *event)
    {
        const QAccessible::Event type = event->type();
        if (s_moving && (type == QAccessible::TextCaretMoved || type == QAccessible::TextSelectionChanged))
            return;
        if (type == QAccessible::Focus)
            s_moving = false;
        if (type == QAccessible::TableModelChanged)
            return; // already given to the table; the bridge has nothing to tell of it
        QAccessible::installUpdateHandler(nullptr);
        QAccessible::updateAccessibility(event);
        QAccessible::installUpdateHandler(pass);
    }

private:
    static inline bool s_moving = false;
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("ClassicCombo"))
        return new ComboAccessible(static_cast<QComboBox *>(object));
    if (className == QLatin1String("PictureBox"))
        return new PictureAccessible(static_cast<PictureBox *>(object));
    if (className == QLatin1String("NewsLabel"))
        return new NewsAccessible(static_cast<NewsLabel *>(object));
    if (className == QLatin1String("FormWindow")) {
        auto *window = static_cast<QWidget *>(object);
        const bool dialog = (window->windowFlags() & Qt::WindowType_Mask) == Qt::Dialog;
        return new QAccessibleWidget(window, dialog ? QAccessible::Dialog : QAccessible::Window);
    }
    if (className == QLatin1String("QTableView"))
        return new TableAccessible(static_cast<QTableView *>(object));
    return nullptr;
}

} // namespace

void installAccessibleFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        QCoreApplication::instance()->installEventFilter(new FocusFirst(QCoreApplication::instance()));
        QAccessible::installUpdateHandler(FocusFirst::pass);
        return true;
    }();
    Q_UNUSED(installed);
}
