#include "ExportCommands.h"
#include "LogbookCommands.h"
#include "adif/AdifExport.h"
#include "common/GridModel.h"
#include "ui/Layouts.h"
#include "ui/MainFrame.h"
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {
const QString kTitle = u"Exportar"_s;

// The log's own name with the ADI extension.
QString adifName(const QString &logName)
{
    if (logName.isEmpty())
        return u"Sin Título.adi"_s;
    const QFileInfo info(logName);
    const QString base = info.suffix().isEmpty() ? logName : logName.left(logName.size() - info.suffix().size() - 1);
    return base + u".adi"_s;
}

// How many went where, how their times became UTC, and what a reader of the file may miss.
QString exportReport(const QString &path, const AdifExport &written, const UtcConversion &utc)
{
    const QString where = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    QString report = written.written == 1
                         ? u"Se exportó 1 contacto a «%1», %2."_s.arg(where, utc.description())
                         : u"Se exportaron %1 contactos a «%2», %3."_s.arg(QString::number(written.written), where,
                                                                          utc.description());
    if (written.unclearTimes > 0) {
        report += written.unclearTimes == 1
                      ? u" La hora de 1 contacto cae en la hora que se salta o se repite al cambiar la hora "
                        u"oficial: se pasó a UTC como lo hace el sistema."_s
                      : u" La hora de %1 contactos cae en la hora que se salta o se repite al cambiar la hora "
                        u"oficial: se pasaron a UTC como lo hace el sistema."_s.arg(written.unclearTimes);
    }
    if (written.incomplete > 0) {
        QStringList rows;
        for (int64_t row : written.firstIncomplete)
            rows << QString::number(row);
        const QString which = rows.join(u", "_s) + (written.incomplete > int64_t(rows.size()) ? u"…"_s : QString());
        report += written.incomplete == 1
                      ? u" A 1 de ellos le falta la fecha, la hora o el indicativo que ADIF necesita (fila %1)."_s.arg(which)
                      : u" A %1 de ellos les falta la fecha, la hora o el indicativo que ADIF necesita (filas %2)."_s
                            .arg(written.incomplete).arg(which);
    }
    return report;
}
} // namespace

ExportCommands::ExportCommands(MainFrame &main, Platform platform, const Variables &variables, QObject *parent)
    : QObject(parent), m_main(main), m_platform(platform), m_variables(variables),
      m_slot([this] { return create(); }, this)
{
    connect(main.action(u"mExportar"_s), &QAction::triggered, this, &ExportCommands::mExportar_Click);
}

FormWindow *ExportCommands::create()
{
    auto *window = new FormWindow(layouts::exporta(), &m_main);
    connect(window->button(u"Command1"_s), &QPushButton::clicked, this, &ExportCommands::Command1_Click);
    connect(window->button(u"Abre_Facil"_s), &QPushButton::clicked, this, &ExportCommands::Abre_Facil_Click);
    connect(window->button(u"Examinar"_s), &QPushButton::clicked, this, &ExportCommands::Examinar_Click);
    return window;
}

void ExportCommands::mExportar_Click()
{
    FormWindow *window = m_slot.get();
    QLineEdit *name = window->lineEdit(u"Archivo"_s);
    if (!window->isVisible()) {
        const QString logName = m_main.windowTitle().mid(LogbookCommands::titlePrefix().size());
        name->setText(adifName(logName));
    }
    m_slot.show();
    // Typing goes to the name, whichever button was pressed last time.
    name->setFocus(Qt::OtherFocusReason);
    name->selectAll();
}

void ExportCommands::Examinar_Click()
{
    QLineEdit *name = m_slot.get()->lineEdit(u"Archivo"_s);
    const QString chosen = m_platform.folders->chooseSaveFile(kTitle, QDir(m_variables.logFolder).filePath(name->text()),
                                                              u"Archivos ADIF (*.adi *.adx)"_s);
    if (chosen.isEmpty())
        return;
    name->setText(QDir::toNativeSeparators(chosen));
    name->setFocus(Qt::OtherFocusReason);
}

void ExportCommands::Abre_Facil_Click()
{
    m_slot.hide();
}

void ExportCommands::Command1_Click()
{
    FormWindow *window = m_slot.get();
    QString name = window->lineEdit(u"Archivo"_s)->text();
    if (name.isEmpty()) {
        m_platform.messages->ask(u"Escriba en «Archivo» el nombre del archivo ADIF que desea crear."_s, kTitle,
                                 MessageSeam::Buttons::Ok, MessageSeam::Icon::Warning);
        return;
    }
    if (QFileInfo(name).suffix().isEmpty()) {
        name += u".adi"_s;
        window->lineEdit(u"Archivo"_s)->setText(name);
    }
    const QString path = QDir(m_variables.logFolder).filePath(name);
    if (QFileInfo(path).isFile()
        && m_platform.messages->ask(u"El archivo ya existe. ¿Desea sobreescribirlo?"_s, u"Orvanel"_s,
                                    MessageSeam::Buttons::OkCancel, MessageSeam::Icon::None)
               != MessageSeam::Answer::Ok)
        return;

    AdifExportOptions options;
    options.adx = QFileInfo(name).suffix().compare(u"adx"_s, Qt::CaseInsensitive) == 0;
    if (window->control<QCheckBox>(u"Check1"_s)->isChecked())
        options.utc = m_variables.utc;
    options.created = m_platform.clock->now().toUTC();
    options.programVersion = QCoreApplication::applicationVersion().isEmpty() ? u"9.0.44"_s
                                                                              : QCoreApplication::applicationVersion();
    options.dxccOf = m_dxccOf;
    const AdifExport written = exportAdif(m_main.libro().store(), path, name, options);
    if (!written.ok) {
        m_platform.messages->ask(written.error, kTitle, MessageSeam::Buttons::Ok, MessageSeam::Icon::Critical);
        return; // the window stays with the name, to try another
    }
    m_slot.hide();
    m_platform.messages->ask(exportReport(path, written, options.utc), kTitle, MessageSeam::Buttons::Ok,
                             MessageSeam::Icon::None);
}
