#pragma once
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

// Where a secondary window lives: created on first use (shown, or touched while hidden),
// shown without being modal, raised and activated when shown again, and created afresh
// after its frame's close button destroyed it.
class WindowSlot : public QObject
{
    Q_OBJECT
public:
    using Factory = std::function<QWidget *()>;
    explicit WindowSlot(Factory factory, QObject *parent = nullptr);

    QWidget *get();            // the window, created hidden when absent
    QWidget *show();           // created if needed, shown, raised and activated
    void hide();               // hides an existing window
    bool exists() const { return !m_window.isNull(); }
    bool isShown() const { return m_window && m_window->isVisible(); }
    QWidget *window() const { return m_window; }

signals:
    void created(QWidget *window);

private:
    Factory m_factory;
    QPointer<QWidget> m_window;
};

// The typed face of a slot.
template<class W>
class Slot : public WindowSlot
{
public:
    explicit Slot(std::function<W *()> factory, QObject *parent = nullptr)
        : WindowSlot([factory] { return static_cast<QWidget *>(factory()); }, parent) {}
    W *get() { return static_cast<W *>(WindowSlot::get()); }
    W *show() { return static_cast<W *>(WindowSlot::show()); }
    // Null while the window is being destroyed: by then it is only a QWidget, and filters
    // still see its events.
    W *window() const { return qobject_cast<W *>(WindowSlot::window()); }
};
