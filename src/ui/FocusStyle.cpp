#include "FocusStyle.h"
#include <QAbstractScrollArea>
#include <QPainter>
#include <QStyleOption>

void FocusStyle::drawFocusFrame(QPainter *painter, const QRect &rect, const QPalette &palette)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setBrush(Qt::NoBrush);
    const QRect outer = rect.adjusted(0, 0, -1, -1);
    painter->setPen(QPen(palette.color(QPalette::WindowText), 1));
    painter->drawRect(outer);
    painter->drawRect(outer.adjusted(1, 1, -1, -1));
    painter->setPen(QPen(palette.color(QPalette::Base), 1));
    painter->drawRect(outer.adjusted(2, 2, -2, -2));
    painter->restore();
}

void FocusStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                               const QWidget *widget) const
{
    if (element == PE_FrameFocusRect) {
        // Check boxes, the cells of a list and pictures: the frame replaces the style's, which
        // shows only after a key was pressed.
        drawFocusFrame(painter, option->rect, option->palette);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    if (element == PE_FrameLineEdit && (option->state & State_HasFocus))
        drawFocusFrame(painter, option->rect, option->palette);
}

void FocusStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                             const QWidget *widget) const
{
    QProxyStyle::drawControl(element, option, painter, widget);
    // Buttons, tables and multi-line text: around the whole control.
    const bool framed = element == CE_PushButton
                        || (element == CE_ShapedFrame && qobject_cast<const QAbstractScrollArea *>(widget));
    if (framed && (option->state & State_HasFocus))
        drawFocusFrame(painter, option->rect, option->palette);
}

void FocusStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                                    const QWidget *widget) const
{
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (control == CC_ComboBox && (option->state & State_HasFocus))
        drawFocusFrame(painter, option->rect, option->palette);
}
