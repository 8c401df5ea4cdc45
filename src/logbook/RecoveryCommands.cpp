#include "RecoveryCommands.h"
#include "common/GridModel.h"
#include "history/ContactLog.h"
#include "history/PlainChrome.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace {

const QString kTitle = u"Recuperación"_s;

} // namespace

RecoveryCommands::RecoveryCommands(ContactLog &log, Platform platform, const QString &workingFolder,
                                   JournalFileReader readFile, QObject *parent)
    : QObject(parent), m_log(log), m_platform(platform), m_folder(workingFolder), m_readFile(std::move(readFile)),
      m_lock(QDir(workingFolder).filePath(journalName() + u".lock"_s))
{
    // Two runs in one folder would write one journal: the second goes without.
    m_lock.setStaleLockTime(0);
    if (!m_lock.tryLock(0))
        return;
    m_journal = std::make_unique<RecoveryJournal>(QDir(workingFolder).filePath(journalName()));
    m_journal->setOnFailure([this](const QString &reason) {
        m_platform.messages->ask(u"No se puede escribir el registro de recuperación (%1). Si el programa se cierra "
                                 u"de golpe, los cambios que no guardó se perderán: guárdelos a menudo."_s.arg(reason),
                                 kTitle, MessageSeam::Buttons::Ok, MessageSeam::Icon::Warning);
    });
    m_log.editor().setObserver(m_journal.get());
}

RecoveryCommands::~RecoveryCommands()
{
    m_log.editor().setObserver(nullptr);
}

QString RecoveryCommands::journalName()
{
    return u".orvanel-recuperacion"_s;
}

void RecoveryCommands::endJournal()
{
    if (m_journal)
        m_journal->end();
}

void RecoveryCommands::setAside(const QString &why)
{
    const QString stamp = QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s);
    QString aside = m_journal->path() + u'-' + stamp;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = m_journal->path() + u'-' + stamp + u'-' + QString::number(n);
    QFile::rename(m_journal->path(), aside);
    if (!why.isEmpty())
        m_platform.messages->ask(why.arg(QFileInfo(aside).fileName()), kTitle, MessageSeam::Buttons::Ok,
                                 MessageSeam::Icon::Warning);
}

void RecoveryCommands::offerRecovery()
{
    if (!m_journal || !m_journal->fileExists())
        return;
    QFile file(m_journal->path());
    const journal::Read read = file.open(QIODevice::ReadOnly) ? journal::read(file.readAll()) : journal::Read();
    file.close();
    if (!read.ok) {
        setAside(u"Se encontró un registro de recuperación que no se puede usar (%1). Se guardó aparte como «%2»."_s
                     .arg(read.problem.isEmpty() ? u"no se pudo leer"_s : read.problem, u"%1"_s));
        return;
    }
    if (read.frames.empty()) {
        setAside(QString()); // the crash came before the first change was whole: nothing to bring back
        return;
    }
    const QString last = QLocale().toString(read.frames.back().time, QLocale::ShortFormat);
    const QString question = u"Se encontraron %1 cambios sin guardar de la sesión anterior (último: %2). ¿Recuperarlos?"_s
                                 .arg(read.frames.size()).arg(last);
    if (m_platform.messages->choose(question, kTitle, {u"&Sí"_s, u"&No"_s}, 0, 1) != 0) {
        setAside(QString());
        return;
    }

    // Rebuilt aside first: a journal that cannot be replayed leaves the table as it is.
    GridModel &table = m_log.table();
    GridModel scratch(table.Cols(), table.fixedCols());
    for (int c = 0; c < table.Cols(); ++c)
        scratch.setTextMatrix(0, c, table.TextMatrix(0, c));
    PlainChrome chrome;
    chrome.shown = m_log.editor().chrome().title();
    TableEditor editor(scratch, chrome);
    const ReplayResult replay = replayJournal(read, editor, m_readFile);
    if (!replay.ok) {
        setAside(u"No se pueden recuperar los cambios: %1. El registro se guardó aparte como «%2», sin usarlo."_s
                     .arg(replay.problem, u"%1"_s));
        return;
    }
    // The headings are the program's own, whatever a table kept whole in the journal says.
    for (int c = 0; c < table.Cols(); ++c)
        scratch.setTextMatrix(0, c, table.TextMatrix(0, c));
    GridModel::Contents headingOnly(table.Cols());
    std::vector<std::string> headings;
    for (int c = 0; c < table.Cols(); ++c)
        headings.push_back(table.TextMatrix(0, c).toStdString());
    const std::vector<std::string_view> views(headings.begin(), headings.end());
    headingOnly.rows.appendRow(views.data(), int(views.size()));
    table.swapContents(scratch.swapContents(std::move(headingOnly)));
    LogChrome &live = m_log.editor().chrome();
    live.setTitle(chrome.shown);
    live.setSaveEnabled(chrome.enabled);
    m_log.markUnsaved();
    m_journal->resume(read, replay.nextChange);
}
