#include "ConfirmationCommands.h"
#include "adif/AdifFields.h"
#include "adif/AdifImport.h"
#include "dxcc/CallIndex.h"
#include "history/ContactLog.h"
#include "ui/Layouts.h"
#include "ui/MainFrame.h"
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {
const QString kTitle = u"Importar confirmaciones"_s;
} // namespace

void nameByLabel(FormWindow *window, const QString &label, const QString &field)
{
    auto *caption = window->control<QLabel>(label);
    QWidget *widget = window->control(field);
    caption->setBuddy(widget);
    QString name = caption->text().remove(u'&');
    if (name.endsWith(u':'))
        name.chop(1);
    widget->setAccessibleName(name);
}

ConfirmationCommands::ConfirmationCommands(MainFrame &main, ContactLog &log, CallIndex &index, Platform platform,
                                           const Variables &variables, QObject *parent)
    : QObject(parent), m_main(main), m_log(log), m_index(index), m_platform(platform), m_variables(variables),
      m_slot([this] { return create(); }, this), m_unmatched([this] { return createUnmatched(); }, this)
{
    connect(main.action(u"mConfirmaciones"_s), &QAction::triggered, this, &ConfirmationCommands::mConfirmaciones_Click);
}

FormWindow *ConfirmationCommands::create()
{
    auto *window = new FormWindow(layouts::importarConfirmaciones(), &m_main);
    nameByLabel(window, u"Label1"_s, u"Archivo"_s);
    connect(window->button(u"Importar"_s), &QPushButton::clicked, this, &ConfirmationCommands::Importar_Click);
    connect(window->button(u"Cancelar"_s), &QPushButton::clicked, this, &ConfirmationCommands::Cancelar_Click);
    connect(window->button(u"Examinar"_s), &QPushButton::clicked, this, &ConfirmationCommands::Examinar_Click);
    return window;
}

FormWindow *ConfirmationCommands::createUnmatched()
{
    auto *window = new FormWindow(layouts::noEncontrados(), &m_main);
    nameByLabel(window, u"Label1"_s, u"Lista"_s);
    auto *list = window->control<QPlainTextEdit>(u"Lista"_s);
    list->setReadOnly(true);
    list->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(window->button(u"Cerrar"_s), &QPushButton::clicked, this, [this] { m_unmatched.hide(); });
    return window;
}

void ConfirmationCommands::mConfirmaciones_Click()
{
    m_slot.show();
}

void ConfirmationCommands::Cancelar_Click()
{
    m_slot.hide();
}

void ConfirmationCommands::Examinar_Click()
{
    QLineEdit *field = m_slot.get()->lineEdit(u"Archivo"_s);
    const QString chosen = m_platform.folders ? m_platform.folders->chooseFile(kTitle, m_variables.logFolder,
                                                                                u"Archivos ADIF (*.adi *.adx)"_s)
                                              : QString();
    if (!chosen.isEmpty())
        field->setText(QDir::toNativeSeparators(chosen));
}

QString ConfirmationCommands::report(const QString &name, const ConfirmationMatch &match) const
{
    QString text = u"Confirmaciones de «%1»:\nRegistros leídos: %2.\nContactos marcados como QSL recibida: %3.\n"
                   u"Ya estaban marcados: %4.\nRegistros sin contacto en el libro: %5."_s
                       .arg(name, QString::number(match.read), QString::number(match.toMark.size()),
                            QString::number(match.already), QString::number(match.unmatched.size()));
    if (match.notConfirmed > 0)
        text += u"\nRegistros que no son confirmaciones (QSL_RCVD distinto de Y): %1."_s.arg(match.notConfirmed);
    return text;
}

void ConfirmationCommands::Importar_Click()
{
    const QString name = m_slot.get()->lineEdit(u"Archivo"_s)->text();
    if (name.isEmpty()) {
        m_platform.messages->ask(u"Escriba en «Archivo» el nombre del archivo de confirmaciones (ADIF)."_s, kTitle,
                                 MessageSeam::Buttons::Ok, MessageSeam::Icon::Warning);
        return;
    }
    const QString path = QDir(m_variables.logFolder).filePath(QDir::fromNativeSeparators(name));
    if (!QFileInfo(path).isFile()) {
        m_platform.messages->ask(u"El archivo no se encuentra. Asegúrese de haberlo escrito correctamente."_s, kTitle,
                                 MessageSeam::Buttons::Ok, MessageSeam::Icon::None);
        return;
    }
    AdifImportOptions options;
    options.utcToLocal = false;
    options.asWritten = true;
    const AdifRead read = importAdif(path, name, options);
    if (!read.ok) {
        m_platform.messages->ask(read.error, kTitle, MessageSeam::Buttons::Ok, MessageSeam::Icon::Warning);
        return; // the window stays, so the name can be corrected
    }
    const ContactClock clock(QLocale::system(), UtcConversion::fixedHours(m_variables.difUtc));
    const ConfirmationMatch match = matchConfirmations(read.rows, m_index, m_main.libro(), clock);
    std::vector<CellText> marks;
    marks.reserve(match.toMark.size());
    const QString yes = u"SI"_s;
    for (int row : match.toMark)
        marks.push_back({row, adif::Received, yes});
    m_log.setCells(std::move(marks), kTitle); // one step, undone as one
    m_slot.hide();
    const QString text = report(name, match);
    if (match.unmatched.empty()) {
        m_platform.messages->ask(text, kTitle, MessageSeam::Buttons::Ok, MessageSeam::Icon::None);
        return;
    }
    if (m_platform.messages->choose(text, kTitle, {u"Aceptar"_s, u"&Ver los no encontrados"_s}, 0, 0) == 1)
        showUnmatched(match.unmatched);
}

void ConfirmationCommands::showUnmatched(const std::vector<UnmatchedRecord> &records)
{
    const auto line = [](const QString &call, const QString &date, const QString &time, const QString &band,
                         const QString &mode) {
        return call.leftJustified(12) + u' ' + date.leftJustified(10) + u' ' + time.leftJustified(5) + u' '
               + band.leftJustified(6) + u' ' + mode;
    };
    QStringList lines{line(u"Indicativo"_s, u"Fecha"_s, u"Hora"_s, u"Banda"_s, u"Modo"_s)};
    for (const UnmatchedRecord &r : records)
        lines << line(r.call, r.date, r.time, r.band, r.mode);
    FormWindow *window = m_unmatched.get();
    window->control<QPlainTextEdit>(u"Lista"_s)->setPlainText(lines.join(u'\n'));
    m_unmatched.show();
    window->control(u"Lista"_s)->setFocus(Qt::OtherFocusReason);
}
