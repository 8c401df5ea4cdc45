#pragma once
#include <QProxyStyle>

// The platform's style, with the keyboard focus always shown by a thick double frame, dark
// outside and light inside: seen on any background and by shape, not by colour alone, and
// whether the focus came by keyboard or by mouse.
class FocusStyle : public QProxyStyle
{
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget = nullptr) const override;
    // The frame itself, for controls that draw their own.
    static void drawFocusFrame(QPainter *painter, const QRect &rect, const QPalette &palette);
};
