#include "ClosingQuestion.h"
#include "history/ContactLog.h"
#include "logbook/LogbookCommands.h"
#include "logbook/RecoveryCommands.h"
#include "ui/MainFrame.h"
#include <QSessionManager>

using namespace Qt::StringLiterals;

ClosingQuestion::ClosingQuestion(MainFrame &main, ContactLog &log, LogbookCommands &logbook,
                                 RecoveryCommands &recovery, MessageSeam &messages, QObject *parent)
    : QObject(parent), m_main(main), m_log(log), m_logbook(logbook), m_recovery(recovery), m_messages(messages)
{
    main.setCloseGuard([this] { return mayClose(); });
    // Saved from the window the question opened: the program goes on ending.
    connect(&logbook, &LogbookCommands::savedAfterAsking, &main, &QWidget::close, Qt::QueuedConnection);
}

QString ClosingQuestion::question()
{
    return u"El libro de guardia tiene cambios sin guardar. ¿Desea guardarlos?"_s;
}

ClosingQuestion::Answer ClosingQuestion::ask()
{
    switch (m_messages.choose(question(), u"Orvanel"_s, {u"Guardar"_s, u"No guardar"_s, u"Cancelar"_s}, 0, 2,
                              MessageSeam::Icon::Warning)) {
    case 0:
        return Answer::Save;
    case 1:
        return Answer::Drop;
    default:
        return Answer::Cancel;
    }
}

bool ClosingQuestion::mayClose()
{
    if (m_log.isChanged() && !m_dropped) {
        switch (ask()) {
        case Answer::Cancel:
            return false;
        case Answer::Save:
            if (!m_logbook.saveBeforeClosing())
                return false; // not saved (yet): the program goes on
            break;
        case Answer::Drop:
            break;
        }
    }
    // Ending on purpose: nothing is left to recover.
    m_recovery.endJournal();
    return true;
}

void ClosingQuestion::commitData(QSessionManager &manager)
{
    if (!m_log.isChanged() || m_dropped)
        return;
    if (!manager.allowsInteraction()) {
        // No question can be asked: the journal stays, and the next start offers it back.
        return;
    }
    const Answer answer = ask();
    manager.release();
    if (answer == Answer::Cancel || (answer == Answer::Save && !m_logbook.saveBeforeClosing()))
        manager.cancel();
    else if (answer == Answer::Drop)
        m_dropped = true;
}
