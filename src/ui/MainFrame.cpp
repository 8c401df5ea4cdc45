#include "MainFrame.h"
#include "FormBuilder.h"
#include "GridView.h"
#include "Layouts.h"
#include "NewsLabel.h"
#include "SmallControls.h"
#include "Twips.h"
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QPlainTextEdit>

using namespace Qt::StringLiterals;

MainFrame::MainFrame(QWidget *parent) : QMainWindow(parent), m_libro(17, 1)
{
    const WindowLayout layout = layouts::kavento();
    setObjectName(layout.name);
    setWindowTitle(layout.caption);
    setWindowIcon(QIcon(QStringLiteral(":/images/orvanel-16.png")));
    m_menus = buildMenus(menuBar(), layouts::kaventoMenus());
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setMinimumSize(1, 1);
    setCentralWidget(m_client);
    m_controls = FormBuilder::build(m_client, layout.controls);
    m_view = control<GridView>(QStringLiteral("Libro"));
    m_view->setGridModel(&m_libro);
    m_libroDesigned = m_view->geometry();
    m_clientDesigned = QSize(twipsToPixels(layout.clientWidth), twipsToPixels(layout.clientHeight));
    // The foot of the window tells what the log knows of the call sign being typed.
    m_status = new NewsLabel(this);
    m_status->setObjectName(QStringLiteral("estado"));
    statusBar()->addWidget(m_status, 1);
    statusBar()->setAccessibleName(u"Barra de estado"_s);
    statusBar()->setSizeGripEnabled(true);
    statusBar()->setFixedHeight(twipsToPixels(kStatusTwips));
    resize(twipsToPixels(layout.clientWidth),
           twipsToPixels(layout.clientHeight) + menuBar()->sizeHint().height() + twipsToPixels(kStatusTwips));
    m_view->setFocus(Qt::OtherFocusReason);
    m_shutdown = [] { QCoreApplication::quit(); };
    qApp->installEventFilter(this);
}

MainFrame::~MainFrame()
{
    qApp->removeEventFilter(this);
}

QLabel *MainFrame::status() const
{
    return m_status;
}

void MainFrame::showNews(const QString &text)
{
    m_status->showNews(text);
    emit newsShown(text);
}

void MainFrame::announce(const QString &text)
{
    m_status->announce(text);
}

void MainFrame::setStatusSection(const QString &key, const QString &text)
{
    QLabel *&section = m_sections[key];
    if (!section) {
        section = new QLabel(this);
        section->setObjectName(u"estado_"_s + key);
        section->setTextFormat(Qt::PlainText);
        statusBar()->addPermanentWidget(section);
    }
    section->setText(text);
    section->setVisible(!text.isEmpty());
}

void MainFrame::closeEvent(QCloseEvent *event)
{
    // Only unsaved changes can keep the window open; closing ends the program with every
    // other window.
    if (m_closeGuard && !m_closeGuard()) {
        event->ignore();
        return;
    }
    event->accept();
    if (m_shutdown)
        m_shutdown();
}

namespace {
bool isTextField(QObject *object)
{
    return qobject_cast<QLineEdit *>(object) || qobject_cast<QPlainTextEdit *>(object)
           || qobject_cast<QComboBox *>(object);
}
} // namespace

bool MainFrame::eventFilter(QObject *watched, QEvent *event)
{
    // The contact table takes whatever room the window gains; everything else stays put.
    if (watched == m_client && event->type() == QEvent::Resize) {
        const QSize gained = m_client->size() - m_clientDesigned;
        m_view->setGeometry(m_libroDesigned.adjusted(0, 0, std::max(0, gained.width()), std::max(0, gained.height())));
        if (auto *top = control<LineControl>(QStringLiteral("Line1")))
            top->stretch(gained.width());
    }
    // The menu shortcuts win over a text field's own keys (Ctrl+A is "Abrir", not select
    // all), except cut, copy, paste, undo and redo, which keep editing the focused field.
    if (event->type() == QEvent::ShortcutOverride) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this) {
            const auto *key = static_cast<QKeyEvent *>(event);
            const QKeySequence pressed(key->keyCombination());
            const bool clipboardKey = pressed == QKeySequence(Qt::CTRL | Qt::Key_X)
                                      || pressed == QKeySequence(Qt::CTRL | Qt::Key_C)
                                      || pressed == QKeySequence(Qt::CTRL | Qt::Key_V)
                                      || pressed == QKeySequence(Qt::CTRL | Qt::Key_Z)
                                      || pressed == QKeySequence(Qt::CTRL | Qt::Key_Y);
            if (!(clipboardKey && isTextField(widget))) {
                for (QAction *action : std::as_const(m_menus.actions)) {
                    if (action->isEnabled() && !action->shortcut().isEmpty() && action->shortcut() == pressed) {
                        event->ignore(); // not overridden: the shortcut map takes the key
                        return true;
                    }
                }
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
