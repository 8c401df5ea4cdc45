#include "FormBuilder.h"
#include "AccessibleWidgets.h"
#include "ClassicCombo.h"
#include "FieldLabels.h"
#include "GridView.h"
#include "SmallControls.h"
#include "Twips.h"
#include <QAbstractItemView>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QGuiApplication>
#include <algorithm>

QString objectNameFor(const QString &controlName)
{
    QString name = controlName;
    name.replace(u'(', u'_');
    name.remove(u')');
    return name;
}

namespace {

QRect pixels(const ControlLayout &c)
{
    return QRect(twipsToPixels(c.left), twipsToPixels(c.top), twipsToPixels(c.width), twipsToPixels(c.height));
}

QWidget *createControl(QWidget *parent, const ControlLayout &c)
{
    using namespace ControlFlag;
    switch (c.type) {
    case ControlType::Label: {
        auto *label = new QLabel(c.caption, parent);
        label->setTextFormat(Qt::PlainText);
        if (c.flags & Centred)
            label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        if (c.flags & WhiteBordered) {
            label->setAutoFillBackground(true);
            QPalette palette = label->palette();
            palette.setColor(QPalette::Window, Qt::white);
            palette.setColor(QPalette::WindowText, Qt::black);
            label->setPalette(palette);
            label->setFrameStyle(QFrame::Box | QFrame::Plain);
            label->setAlignment(Qt::AlignCenter);
        }
        if (c.flags & WordWrap)
            label->setWordWrap(true);
        if (c.flags & BlackText) {
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, Qt::black);
            label->setPalette(palette);
        }
        return label;
    }
    case ControlType::TextBox: {
        auto *edit = new QLineEdit(c.caption, parent);
        return edit;
    }
    case ControlType::MultiLineTextBox: {
        auto *edit = new QPlainTextEdit(c.caption, parent);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit->setTabChangesFocus(true);
        return edit;
    }
    case ControlType::ComboBox: {
        auto *combo = new ClassicCombo(parent);
        combo->addItems(c.items);
        combo->setText(c.caption);
        return combo;
    }
    case ControlType::Button: {
        auto *button = new QPushButton(c.caption, parent);
        button->setAutoDefault(false);
        return button;
    }
    case ControlType::PictureButton: {
        auto *button = new QPushButton(parent);
        button->setAutoDefault(false);
        if (!c.image.isEmpty()) {
            button->setIcon(QIcon(c.image));
            button->setIconSize(QSize(16, 16));
        }
        return button;
    }
    case ControlType::PictureBox: {
        auto *picture = new PictureBox(parent);
        if (!c.image.isEmpty())
            picture->setPixmap(QPixmap(c.image)); // an animated image shows its first frame
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        picture->setFocusPolicy(Qt::NoFocus);
        picture->setCursor(Qt::PointingHandCursor);
        return picture;
    }
    case ControlType::Grid:
        return new GridView(parent);
    case ControlType::CheckBox: {
        auto *box = new QCheckBox(c.caption, parent);
        box->setChecked(c.flags & Checked);
        return box;
    }
    case ControlType::GroupBox:
        return new QGroupBox(c.caption, parent);
    case ControlType::Line: {
        const QColor colour = (c.flags & WhiteThickLine) ? QColor(Qt::white)
                              : (c.flags & GreyLine)     ? QColor(0x80, 0x80, 0x80)
                                                         : QColor(Qt::black);
        const int width = (c.flags & WhiteThickLine) ? 2 : 1;
        return new LineControl(parent,
                               QPoint(twipsToPixels(c.left), twipsToPixels(c.top)),
                               QPoint(twipsToPixels(c.width), twipsToPixels(c.height)), colour, width);
    }
    }
    return nullptr;
}

bool takesFocus(const ControlLayout &c)
{
    if (c.type == ControlType::PictureBox)
        return c.flags & ControlFlag::Clickable;
    return c.type != ControlType::Label && c.type != ControlType::Line && c.type != ControlType::GroupBox;
}

// The frame a control is drawn inside, as a form designer puts it there; null for none.
QGroupBox *frameAround(const QRect &geometry, const std::vector<QGroupBox *> &frames)
{
    for (auto it = frames.rbegin(); it != frames.rend(); ++it) {
        if ((*it)->geometry().contains(geometry))
            return *it;
    }
    return nullptr;
}

// What a screen reader says of each control: its own caption, the label that names it (a
// label marked as the buddy of the next control, or else the label found by place, made its
// buddy so the label relation is there too), or the name its table gives.
void nameControls(const std::vector<ControlLayout> &controls, const QHash<QString, QWidget *> &built)
{
    const QHash<QString, const ControlLayout *> byPlace = fieldLabels(controls);
    QHash<const QWidget *, QString> labelled;
    for (const ControlLayout &c : controls) {
        const auto *label = qobject_cast<QLabel *>(built.value(c.name));
        if (label && label->buddy())
            labelled.insert(label->buddy(), nameFromCaption(c.caption));
    }
    for (const ControlLayout &c : controls) {
        QWidget *widget = built.value(c.name);
        if (const ControlLayout *label = byPlace.value(c.name); label && !labelled.contains(widget)) {
            auto *labelWidget = static_cast<QLabel *>(built.value(label->name));
            if (!labelWidget->buddy()) {
                labelWidget->setBuddy(widget);
                labelled.insert(widget, nameFromCaption(label->caption));
            }
        }
        const QString name = c.accessibleName.isEmpty() ? labelled.value(widget) : c.accessibleName;
        if (!name.isEmpty())
            widget->setAccessibleName(name);
        // An editable combo's text field and its list are where the focus really goes.
        auto *combo = qobject_cast<QComboBox *>(widget);
        if (combo && !name.isEmpty()) {
            combo->view()->setAccessibleName(name);
            if (combo->lineEdit())
                combo->lineEdit()->setAccessibleName(name);
        }
        if (!c.accessibleDescription.isEmpty())
            widget->setAccessibleDescription(c.accessibleDescription);
    }
}

} // namespace

QHash<QString, QWidget *> FormBuilder::build(QWidget *parent, const std::vector<ControlLayout> &controls)
{
    installAccessibleFactory();
    QHash<QString, QWidget *> built;
    std::vector<std::pair<int, QWidget *>> focusOrder;
    std::vector<QGroupBox *> frames;
    QLabel *buddy = nullptr;
    for (const ControlLayout &c : controls) {
        QWidget *widget = createControl(parent, c);
        widget->setObjectName(objectNameFor(c.name));
        if (c.type != ControlType::Line) {
            QRect geometry = pixels(c);
            // Labels are sized to their text: never cut a caption short.
            if (c.type == ControlType::Label && !(c.flags & ControlFlag::WordWrap))
                geometry.setWidth(std::max(geometry.width(), widget->sizeHint().width()));
            if (QGroupBox *frame = frameAround(geometry, frames)) {
                widget->setParent(frame);
                geometry.translate(-frame->pos());
            }
            widget->setGeometry(geometry);
        }
        if (auto *frame = qobject_cast<QGroupBox *>(widget))
            frames.push_back(frame);
        if (c.flags & ControlFlag::Disabled)
            widget->setEnabled(false);
        if (!c.toolTip.isEmpty())
            widget->setToolTip(c.toolTip);
        if (auto *picture = qobject_cast<PictureBox *>(widget))
            picture->setClickable(c.flags & ControlFlag::Clickable);
        if (takesFocus(c)) {
            // A screen reader names the field by its label.
            if (buddy)
                buddy->setBuddy(widget);
            buddy = nullptr;
            widget->setFocusPolicy(Qt::StrongFocus);
            if (c.tab >= 0)
                focusOrder.emplace_back(c.tab, widget);
        } else {
            widget->setFocusPolicy(Qt::NoFocus);
        }
        if (c.flags & ControlFlag::Buddy)
            buddy = qobject_cast<QLabel *>(widget);
        built.insert(c.name, widget);
    }
    nameControls(controls, built);
    std::stable_sort(focusOrder.begin(), focusOrder.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (size_t i = 1; i < focusOrder.size(); ++i)
        QWidget::setTabOrder(focusOrder[i - 1].second, focusOrder[i].second);
    if (!focusOrder.empty())
        parent->setFocusProxy(nullptr);
    return built;
}

void FormBuilder::applyWindow(QWidget *window, const WindowLayout &layout, int extraHeight)
{
    const QSize client(twipsToPixels(layout.clientWidth), twipsToPixels(layout.clientHeight) + extraHeight);
    Qt::WindowFlags flags;
    switch (layout.kind) {
    case WindowKind::Sizable:
        flags = Qt::Window;
        window->resize(client);
        break;
    case WindowKind::FixedDialog:
        flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                | Qt::MSWindowsFixedSizeDialogHint;
        window->setFixedSize(client);
        break;
    case WindowKind::FixedSingle:
        flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                | Qt::MSWindowsFixedSizeDialogHint;
        window->setFixedSize(client);
        break;
    }
    window->setWindowFlags(flags);
    window->setWindowTitle(layout.caption);
    window->setObjectName(layout.name);
    if (layout.placement == Placement::At) {
        window->setGeometry(QRect(QPoint(twipsToPixels(layout.left), twipsToPixels(layout.top)), client));
    } else if (layout.placement == Placement::CentredOnScreen) {
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            window->move(area.center() - QPoint(client.width() / 2, client.height() / 2));
        }
    }
}
