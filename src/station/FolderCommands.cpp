#include "FolderCommands.h"
#include "ui/Layouts.h"
#include "ui/MainFrame.h"
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStorageInfo>

using namespace Qt::StringLiterals;

namespace {
const QString kKey = u"carpetas/libros"_s;
const QString kTitle = u"Directorios"_s;
} // namespace

FolderCommands::FolderCommands(MainFrame &main, Variables &variables, Platform platform, QString workingFolder,
                               QObject *parent)
    : QObject(parent), m_main(main), m_variables(variables), m_platform(platform),
      m_workingFolder(std::move(workingFolder)), m_slot([this] { return create(); }, this)
{
    m_variables.logFolder = m_workingFolder;
    connect(main.action(u"mDirectorios"_s), &QAction::triggered, this, &FolderCommands::mDirectorios_Click);
}

FormWindow *FolderCommands::create()
{
    auto *window = new FormWindow(layouts::directorios(), &m_main);
    window->lineEdit(u"Carpeta"_s)->setText(QDir::toNativeSeparators(m_variables.logFolder));
    connect(window->button(u"Examinar"_s), &QPushButton::clicked, this, &FolderCommands::Examinar_Click);
    connect(window->button(u"Aceptar"_s), &QPushButton::clicked, this, &FolderCommands::Aceptar_Click);
    connect(window->button(u"Cancelar"_s), &QPushButton::clicked, this, &FolderCommands::Cancelar_Click);
    return window;
}

void FolderCommands::load()
{
    if (!m_platform.settings)
        return;
    const QString kept = m_platform.settings->value(kKey).toString();
    if (!kept.isEmpty())
        m_variables.logFolder = kept;
}

void FolderCommands::mDirectorios_Click()
{
    // Shown afresh with the folder in use, not with a choice left unaccepted.
    FormWindow *window = m_slot.get();
    if (!window->isVisible())
        window->lineEdit(u"Carpeta"_s)->setText(QDir::toNativeSeparators(m_variables.logFolder));
    m_slot.show();
}

void FolderCommands::Examinar_Click()
{
    QLineEdit *field = m_slot.get()->lineEdit(u"Carpeta"_s);
    const QString chosen = m_platform.folders ? m_platform.folders->chooseFolder(kTitle, field->text()) : QString();
    if (!chosen.isEmpty())
        field->setText(QDir::toNativeSeparators(chosen));
}

QString FolderCommands::problemWith(const QString &folder) const
{
    const QFileInfo info(folder);
    const QString shown = u"«%1»"_s.arg(QDir::toNativeSeparators(folder));
    if (!info.exists())
        return u"La carpeta %1 no existe."_s.arg(shown);
    if (!info.isDir())
        return u"%1 no es una carpeta."_s.arg(shown);
    if (QStorageInfo(folder).isReadOnly())
        return u"La carpeta %1 está en un disco de solo lectura."_s.arg(shown);
    if (!info.isWritable())
        return u"No hay permiso para escribir en la carpeta %1."_s.arg(shown);
    return {};
}

void FolderCommands::Aceptar_Click()
{
    // An empty field means the working folder, as at first.
    const QString typed = m_slot.get()->lineEdit(u"Carpeta"_s)->text().trimmed();
    const QString folder = typed.isEmpty() ? m_workingFolder : QDir(m_workingFolder).absoluteFilePath(QDir::fromNativeSeparators(typed));
    const QString problem = problemWith(folder);
    if (!problem.isEmpty()) {
        m_platform.messages->ask(problem + u" Se sigue usando la carpeta anterior."_s, kTitle,
                                 MessageSeam::Buttons::Ok, MessageSeam::Icon::Warning);
        return;
    }
    m_variables.logFolder = QDir::cleanPath(folder);
    if (m_platform.settings) {
        m_platform.settings->setValue(kKey, typed.isEmpty() ? QString() : m_variables.logFolder);
        m_platform.settings->sync();
    }
    m_slot.hide();
}

void FolderCommands::Cancelar_Click()
{
    m_slot.hide();
}
