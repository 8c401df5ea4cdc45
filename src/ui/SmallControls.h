#pragma once
#include <QColor>
#include <QLabel>
#include <QWidget>

// A straight line between two points of its parent.
class LineControl : public QWidget
{
    Q_OBJECT
public:
    LineControl(QWidget *parent, QPoint from, QPoint to, QColor colour, int width);
    // Moves the far end of the line by `dx` from where it was laid out.
    void stretch(int dx);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QPoint m_from, m_to, m_laidOutTo;
    QRect m_laidOut;
    QColor m_colour;
    int m_width;
};

// A picture that reports clicks (the sponsor banner). A clickable one also takes the focus and
// is pressed with Space or Enter, as a button is.
class PictureBox : public QLabel
{
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr) : QLabel(parent) {}
    void setClickable(bool clickable);
    bool isClickable() const { return m_clickable; }
    void click() { emit clicked(); }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_clickable = false;
};
