#pragma once
#include "MenuBuilder.h"
#include "common/GridModel.h"
#include <QHash>
#include <QMainWindow>
#include <functional>

class GridView;
class NewsLabel;
class QLabel;
class QAction;
class QMenu;

// The main window as laid out: the contact table, the entry form, the clocks, the banner
// and the menu tree. Behaviour is attached from outside by name.
class MainFrame : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr int kStatusTwips = 300; // the status bar's height: 20 pixels
    explicit MainFrame(QWidget *parent = nullptr);
    ~MainFrame() override;

    GridModel &libro() { return m_libro; }
    GridView *libroView() const { return m_view; }
    QAction *action(const QString &name) const { return m_menus.actions.value(name); }
    QMenu *menu(const QString &name) const { return m_menus.menus.value(name); }
    QWidget *control(const QString &name) const { return m_controls.value(name); }
    template<class T> T *control(const QString &name) const { return qobject_cast<T *>(m_controls.value(name)); }
    QWidget *client() const { return m_client; }
    QLabel *status() const;
    NewsLabel *news() const { return m_status; }
    // The news of the moment at the left of the status bar (what the log knows of the call
    // typed, a contact that came in from outside), also told to a screen reader.
    void showNews(const QString &text);
    // Told to a screen reader only: what the operator cannot see happen (a search that found
    // nothing).
    void announce(const QString &text);
    // A lasting state at the right end of the status bar, one per outside program ("Equipo:
    // 14.074 MHz USB"); an empty text hides it.
    void setStatusSection(const QString &key, const QString &text);
    QLabel *statusSection(const QString &key) const { return m_sections.value(key); }

    // What closing the window does; the program ends at once.
    void setShutdown(std::function<void()> shutdown) { m_shutdown = std::move(shutdown); }
    // Asked before the window closes; false keeps it open.
    void setCloseGuard(std::function<bool()> guard) { m_closeGuard = std::move(guard); }

signals:
    void newsShown(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    GridModel m_libro;
    QWidget *m_client = nullptr;
    GridView *m_view = nullptr;
    NewsLabel *m_status = nullptr;
    QRect m_libroDesigned;
    QSize m_clientDesigned;
    QHash<QString, QWidget *> m_controls;
    QHash<QString, QLabel *> m_sections;
    BuiltMenus m_menus;
    std::function<void()> m_shutdown;
    std::function<bool()> m_closeGuard;
};
