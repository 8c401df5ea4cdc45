#include "LabelCommands.h"
#include "ConfirmationCommands.h"
#include "LabelPrinting.h"
#include "adif/AdifFields.h"
#include "common/GridModel.h"
#include "dxcc/CallIndex.h"
#include "history/ContactLog.h"
#include "ui/ClassicCombo.h"
#include "ui/Layouts.h"
#include "ui/MainFrame.h"
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPdfWriter>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
const QString kTitle = u"Etiquetas QSL"_s;

double millimetres(const QString &text, double otherwise)
{
    bool ok = false;
    const double value = QString(text).replace(u',', u'.').trimmed().toDouble(&ok);
    return ok && value >= 0 && value < 100 ? value : otherwise;
}

QString shown(double mm)
{
    return QString::number(mm, 'f', 2).remove(QRegularExpression(u"\\.?0+$"_s)).replace(u'.', u',');
}
} // namespace

LabelCommands::LabelCommands(MainFrame &main, ContactLog &log, CallIndex &index, Platform platform,
                             const Variables &variables, QObject *parent)
    : QObject(parent), m_main(main), m_log(log), m_index(index), m_platform(platform), m_variables(variables),
      m_slot([this] { return create(); }, this)
{
    connect(main.action(u"mEtiquetas"_s), &QAction::triggered, this, &LabelCommands::mEtiquetas_Click);
    // The count and the preview follow the log while the window is open.
    m_later.setSingleShot(true);
    m_later.setInterval(250);
    const GridModel &table = main.libro();
    const auto later = [this] { m_later.start(); };
    connect(&table, &QAbstractItemModel::dataChanged, this, later);
    connect(&table, &QAbstractItemModel::rowsInserted, this, later);
    connect(&table, &QAbstractItemModel::rowsRemoved, this, later);
    connect(&table, &QAbstractItemModel::layoutChanged, this, later);
    connect(&table, &QAbstractItemModel::modelReset, this, later);
    connect(&m_later, &QTimer::timeout, this, [this] {
        if (m_slot.isShown()) {
            m_shown = labels();
            refresh();
        }
    });
}

FormWindow *LabelCommands::create()
{
    auto *window = new FormWindow(layouts::etiquetas(), &m_main);
    const std::pair<const char16_t *, const char16_t *> named[] = {
        {u"Label1", u"Hoja"}, {u"Label2", u"Inicio"}, {u"Label3", u"Superior"}, {u"Label4", u"Izquierdo"},
        {u"Label5", u"Archivo"}};
    for (const auto &[label, field] : named)
        nameByLabel(window, QString::fromUtf16(label), QString::fromUtf16(field));
    auto *sheets = window->control<ClassicCombo>(u"Hoja"_s);
    sheets->setEditable(false);
    for (SheetKind kind : kSheetKinds)
        sheets->addItem(sheetName(kind));
    sheets->setCurrentIndex(0);
    connect(sheets, &QComboBox::currentIndexChanged, this, [this] {
        setMargins(m_slot.window());
        refresh();
    });
    for (const QString &field : {u"Inicio"_s, u"Superior"_s, u"Izquierdo"_s})
        connect(window->lineEdit(field), &QLineEdit::textChanged, this, &LabelCommands::refresh);
    connect(window->button(u"Imprimir"_s), &QPushButton::clicked, this, &LabelCommands::Imprimir_Click);
    connect(window->button(u"GuardarPdf"_s), &QPushButton::clicked, this, &LabelCommands::GuardarPdf_Click);
    connect(window->button(u"Cancelar"_s), &QPushButton::clicked, this, &LabelCommands::Cancelar_Click);
    window->control(u"Vista"_s)->setAccessibleName(u"Vista previa de la primera hoja"_s);
    setMargins(window);
    return window;
}

LabelSheet LabelCommands::sheet() const
{
    FormWindow *window = m_slot.window();
    const int index = window ? window->control<QComboBox>(u"Hoja"_s)->currentIndex() : 0;
    LabelSheet sheet = sheetOf(kSheetKinds[std::clamp(index, 0, int(std::size(kSheetKinds)) - 1)]);
    if (window) {
        sheet.top = millimetres(window->lineEdit(u"Superior"_s)->text(), sheet.top);
        sheet.left = millimetres(window->lineEdit(u"Izquierdo"_s)->text(), sheet.left);
    }
    return sheet;
}

int LabelCommands::start() const
{
    const int typed = m_slot.window() ? m_slot.window()->lineEdit(u"Inicio"_s)->text().trimmed().toInt() : 1;
    return std::clamp(typed, 1, sheet().perSheet());
}

// A sheet of another kind comes with its own margins.
void LabelCommands::setMargins(FormWindow *window)
{
    const int index = window->control<QComboBox>(u"Hoja"_s)->currentIndex();
    const LabelSheet chosen = sheetOf(kSheetKinds[std::clamp(index, 0, int(std::size(kSheetKinds)) - 1)]);
    window->lineEdit(u"Superior"_s)->setText(shown(chosen.top));
    window->lineEdit(u"Izquierdo"_s)->setText(shown(chosen.left));
}

std::vector<QslLabel> LabelCommands::labels() const
{
    const ContactClock clock(QLocale::system(), UtcConversion::fixedHours(m_variables.difUtc));
    return labelsToSend(m_main.libro(), m_index.resolver(), clock);
}

void LabelCommands::refresh()
{
    FormWindow *window = m_slot.window();
    if (!window)
        return;
    const LabelSheet now = sheet();
    const int n = int(m_shown.size());
    const int sheets = n == 0 ? 0 : (start() - 1 + n + now.perSheet() - 1) / now.perSheet();
    window->control<QLabel>(u"Cuenta"_s)
        ->setText(n == 0 ? u"No hay contactos con QSL por enviar por buró o mánager."_s
                         : u"%1 %2 en %3 %4."_s.arg(n).arg(n == 1 ? u"etiqueta"_s : u"etiquetas"_s)
                               .arg(sheets).arg(sheets == 1 ? u"hoja"_s : u"hojas"_s));
    auto *preview = window->control<QLabel>(u"Vista"_s);
    const QImage image = previewSheet(now, start(), m_shown, preview->width() - 8);
    preview->setPixmap(QPixmap::fromImage(image.height() > preview->height() - 8
                                              ? image.scaledToHeight(preview->height() - 8, Qt::SmoothTransformation)
                                              : image));
    window->button(u"Imprimir"_s)->setEnabled(n > 0);
    window->button(u"GuardarPdf"_s)->setEnabled(n > 0);
}

void LabelCommands::mEtiquetas_Click()
{
    m_shown = labels();
    FormWindow *window = m_slot.get();
    if (!window->isVisible())
        window->lineEdit(u"Archivo"_s)->setText(u"etiquetas.pdf"_s);
    refresh();
    m_slot.show();
}

void LabelCommands::Cancelar_Click()
{
    m_slot.hide();
}

void LabelCommands::print(QPagedPaintDevice &device)
{
    // The log as it is now: exactly these contacts are printed, and marked.
    m_shown = labels();
    if (!printLabels(device, sheet(), start(), m_shown)) {
        m_platform.messages->ask(u"No se pudieron imprimir las etiquetas."_s, kTitle, MessageSeam::Buttons::Ok,
                                 MessageSeam::Icon::Warning);
        return;
    }
    m_slot.hide();
    const int n = int(m_shown.size());
    const QString question = n == 1 ? u"¿Marcar este contacto como QSL enviada?"_s
                                    : u"¿Marcar estos %1 contactos como QSL enviada?"_s.arg(n);
    if (m_platform.messages->choose(question, kTitle, {u"&Sí"_s, u"&No"_s}, 0, 1) != 0)
        return;
    std::vector<CellText> marks;
    marks.reserve(m_shown.size());
    const QString yes = u"SI"_s;
    for (const QslLabel &label : m_shown)
        marks.push_back({label.row, adif::Sent, yes});
    m_log.setCells(std::move(marks), kTitle);
}

void LabelCommands::Imprimir_Click()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(sheet().page));
    if (m_platform.printing && m_platform.printing->choosePrinter(printer, kTitle))
        print(printer);
}

void LabelCommands::GuardarPdf_Click()
{
    const QString name = m_slot.get()->lineEdit(u"Archivo"_s)->text();
    if (name.isEmpty()) {
        m_platform.messages->ask(u"Escriba en «Archivo» el nombre del PDF que desea crear."_s, kTitle,
                                 MessageSeam::Buttons::Ok, MessageSeam::Icon::Warning);
        return;
    }
    const QString path = QDir(m_variables.logFolder).filePath(QDir::fromNativeSeparators(name));
    if (QFileInfo(path).isFile()
        && m_platform.messages->ask(u"El archivo ya existe. ¿Desea sobreescribirlo?"_s, u"Orvanel"_s,
                                    MessageSeam::Buttons::OkCancel, MessageSeam::Icon::None)
               != MessageSeam::Answer::Ok)
        return;
    QPdfWriter pdf(path);
    pdf.setResolution(300);
    pdf.setCreator(u"Orvanel"_s);
    pdf.setTitle(kTitle);
    print(pdf);
}
