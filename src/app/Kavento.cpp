#include "Kavento.h"
#include "ClosingQuestion.h"
#include "CommentEditor.h"
#include "ConnectionCommands.h"
#include "MainChrome.h"
#include "history/ContactLog.h"
#include "EntryForm.h"
#include "Greeting.h"
#include "common/GridModel.h"
#include "dxcc/CallIndex.h"
#include "dxcc/CallResolver.h"
#include "dxcc/DxccCommands.h"
#include "dxcc/WorkedCommands.h"
#include "edit/EditCommands.h"
#include "logbook/ExportCommands.h"
#include "logbook/LogbookCommands.h"
#include "logbook/RecoveryCommands.h"
#include "qsl/ConfirmationCommands.h"
#include "qsl/LabelCommands.h"
#include "station/FolderCommands.h"
#include "station/StationClock.h"
#include "station/UserConfig.h"
#include "ui/HelpCommands.h"
#include "ui/MainFrame.h"
#include <QAction>
#include <QFileInfo>
#include <QLabel>

using namespace Qt::StringLiterals;

namespace {
const char16_t *const kHeadings[17] = {
    u"Nº", u"Indicativo", u"Nombre", u"QTH", u"Provincia", u"Ciudad", u"Código Postal",
    u"Casilla de Correo", u"RST", u"Fecha", u"Hora", u"Frecuencia", u"Modo", u"Vía",
    u"Enviada", u"Recibida", u"Comentario",
};
} // namespace

Kavento::Kavento(Platform platform, QString folder, QObject *parent)
    : QObject(parent), m_platform(platform), m_folder(std::move(folder)), m_frame(std::make_unique<MainFrame>()),
      m_chrome(std::make_unique<MainChrome>(*m_frame))
{
    MainFrame &main = *m_frame;
    m_log = new ContactLog(main.libro(), *m_chrome, this);
    m_userConfig = new UserConfig(main, platform, m_folder, this);
    m_clock = new StationClock(main.control<QLabel>(u"hLocal"_s), main.control<QLabel>(u"hUtc"_s), *platform.clock, this);
    m_entry = new EntryForm(main, *m_log, *platform.clock, this);
    m_comments = new CommentEditor(main, *m_log, this);
    m_folders = new FolderCommands(main, m_variables, platform, m_folder, this);
    m_folders->load();
    m_logbook = new LogbookCommands(main, *m_log, platform, m_variables, this);
    m_recovery = new RecoveryCommands(*m_log, platform, m_folder,
                                      [this](const FileSource &file, GridStore &rows, QString &problem) {
                                          return m_logbook->readForJournal(file, rows, problem);
                                      }, this);
    m_export = new ExportCommands(main, platform, m_variables, this);
    m_calls = new CallIndex(main.libro(), this);
    m_worked = new WorkedCommands(main, *m_calls, this);
    loadCountryFile();
    m_closing = new ClosingQuestion(main, *m_log, *m_logbook, *m_recovery, *platform.messages, this);
    m_edit = new EditCommands(main, *m_log, m_variables, *platform.messages, this);
    m_dxcc = new DxccCommands(main, platform, m_folder, this);
    m_help = new HelpCommands(main, platform, this);
    m_confirmations = new ConfirmationCommands(main, *m_log, *m_calls, platform, m_variables, this);
    m_labels = new LabelCommands(main, *m_log, *m_calls, platform, m_variables, this);
    m_greeting = new Greeting(main, *m_calls, platform.settings, this);
    m_connections = new ConnectionCommands(main, platform, this);

    connect(m_userConfig, &UserConfig::difUtcChanged, m_clock, &StationClock::setDifUtc);
    connect(m_userConfig, &UserConfig::difUtcChanged, this, [this](int difUtc) { m_variables.difUtc = difUtc; });
    connect(main.action(u"mUsuario"_s), &QAction::triggered, m_userConfig, &UserConfig::mUsuario_Click);
    connect(main.action(u"mSalir"_s), &QAction::triggered, &main, &QWidget::close);
    m_clock->start();
}

Kavento::~Kavento()
{
    // The commands hold on to the main window's model and the log: they go first, the log
    // (created first) last.
    QList<QObject *> children = findChildren<QObject *>(QString(), Qt::FindDirectChildrenOnly);
    children.removeOne(m_log);
    qDeleteAll(children);
    delete m_log;
}

// The country file that tells each call sign's entity: the working folder's, or the one
// installed with the program. Without one the program works, only without entities.
void Kavento::loadCountryFile()
{
    const QString path = findCountryFile(m_folder);
    if (path.isEmpty())
        return;
    const CountryFileRead read = CallResolver::read(path, QFileInfo(path).fileName());
    if (!read.ok) {
        m_platform.messages->ask(read.error, u"Países"_s, MessageSeam::Buttons::Ok, MessageSeam::Icon::Warning);
        return;
    }
    m_calls->setResolver(read.resolver);
    m_export->setEntityLookup([resolver = read.resolver](QStringView call) {
        const CallEntity entity = resolver->resolve(call);
        return entity.found() ? resolver->entities().at(size_t(entity.entity)).dxcc : 0;
    });
}

void Kavento::Form_Load()
{
    m_userConfig->load();
    m_entry->stampDateTime();
    GridModel &libro = m_frame->libro();
    libro.setColWidth(0, 350);
    libro.setColWidth(6, 1500);
    libro.setColWidth(7, 1500);
    libro.setColWidth(16, 4500);
    for (int c = 0; c < 17; ++c)
        libro.setTextMatrix(0, c, QString::fromUtf16(kHeadings[c]));
}

void Kavento::show()
{
    m_frame->show();
}
