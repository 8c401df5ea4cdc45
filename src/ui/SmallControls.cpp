#include "SmallControls.h"
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <algorithm>

LineControl::LineControl(QWidget *parent, QPoint from, QPoint to, QColor colour, int width)
    : QWidget(parent), m_colour(colour), m_width(width)
{
    const QRect box = QRect(from, to).normalized().adjusted(0, 0, width, width);
    setGeometry(box);
    m_from = from - box.topLeft();
    m_to = to - box.topLeft();
    m_laidOut = box;
    m_laidOutTo = m_to;
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void LineControl::stretch(int dx)
{
    m_to = m_laidOutTo + QPoint(std::max(0, dx), 0);
    setGeometry(m_laidOut.adjusted(0, 0, std::max(0, dx), 0));
    update();
}

void LineControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QPen(m_colour, m_width, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(m_from, m_to);
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void PictureBox::setClickable(bool clickable)
{
    m_clickable = clickable;
    setFocusPolicy(clickable ? Qt::StrongFocus : Qt::NoFocus);
}

void PictureBox::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (m_clickable && !event->isAutoRepeat()
        && (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // A picture has no focus frame of its own: the style's, as buttons show it.
    QPainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}
