#include "WindowSlot.h"

WindowSlot::WindowSlot(Factory factory, QObject *parent) : QObject(parent), m_factory(std::move(factory)) {}

QWidget *WindowSlot::get()
{
    if (!m_window) {
        m_window = m_factory();
        emit created(m_window);
    }
    return m_window;
}

QWidget *WindowSlot::show()
{
    QWidget *w = get();
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

void WindowSlot::hide()
{
    if (m_window)
        m_window->hide();
}
