#include "Greeting.h"
#include "dxcc/CallIndex.h"
#include "dxcc/WorkedEntities.h"
#include "ui/MainFrame.h"
#include <QAction>
#include <QFocusEvent>
#include <QLineEdit>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace {
const QString kKey = u"formulario/completar"_s;
} // namespace

Greeting::Greeting(MainFrame &main, CallIndex &index, QSettings *settings, QObject *parent)
    : QObject(parent), m_main(main), m_index(index), m_settings(settings), m_enabled(main.action(u"mCompletar"_s))
{
    if (m_settings)
        m_enabled->setChecked(m_settings->value(kKey, true).toBool());
    connect(m_enabled, &QAction::toggled, this, [this](bool on) {
        if (m_settings) {
            m_settings->setValue(kKey, on);
            m_settings->sync();
        }
    });
    main.control(u"dato(0)"_s)->installEventFilter(this);
}

bool Greeting::eventFilter(QObject *watched, QEvent *event)
{
    // Leaving the field, not the window for a while (a menu, another program).
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            greet();
    }
    return QObject::eventFilter(watched, event);
}

void Greeting::greet()
{
    const QString call = m_main.control<QLineEdit>(u"dato(0)"_s)->text().trimmed();
    if (!m_enabled->isChecked() || call.isEmpty())
        return;
    const GridModel &table = m_main.libro();
    const int latest = latestOf(table, m_index.rowsOf(call));
    for (int i = 0; i < kFields; ++i) {
        QLineEdit *field = m_main.control<QLineEdit>(u"dato(%1)"_s.arg(i + 1));
        if (!field->text().isEmpty() && field->text() != m_filled[i])
            continue; // typed by the operator
        // A call not in the log takes back what another call's contact put here.
        m_filled[i] = latest > 0 ? table.TextMatrix(latest, i + 2) : QString();
        field->setText(m_filled[i]);
    }
    if (latest > 0)
        m_main.showNews(u"Datos del último contacto, %1"_s.arg(table.TextMatrix(latest, 9)));
}
