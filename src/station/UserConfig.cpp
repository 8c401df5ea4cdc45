#include "UserConfig.h"
#include "OffsetConversion.h"
#include "UserConfigFile.h"
#include "ui/ClassicCombo.h"
#include "ui/FormWindow.h"
#include "ui/Layouts.h"
#include "ui/MainFrame.h"
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

UserConfig::UserConfig(MainFrame &main, Platform platform, QString folder, QObject *parent)
    : QObject(parent), m_main(main), m_platform(platform), m_folder(std::move(folder)),
      m_slot([this] { return create(); }, this)
{
}

FormWindow *UserConfig::create()
{
    auto *window = new FormWindow(layouts::configUsr(), &m_main);
    connect(window->button(u"Command4"_s), &QPushButton::clicked, this, &UserConfig::Command4_Click);
    connect(window->button(u"Command3"_s), &QPushButton::clicked, this, &UserConfig::Command3_Click);
    return window;
}

QStringList UserConfig::values()
{
    FormWindow *window = m_slot.get();
    QStringList seven{window->control<ClassicCombo>(u"Pais"_s)->text()};
    for (int i = 1; i <= 6; ++i)
        seven << window->lineEdit(u"Usuario(%1)"_s.arg(i))->text();
    return seven;
}

void UserConfig::setValues(const QStringList &values)
{
    FormWindow *window = m_slot.get();
    for (int i = 0; i < values.size() && i < kUserConfigItems; ++i) {
        if (i == 0)
            window->control<ClassicCombo>(u"Pais"_s)->setText(values.at(0));
        else
            window->lineEdit(u"Usuario(%1)"_s.arg(i))->setText(values.at(i));
    }
}

void UserConfig::applyOffset(const QString &text)
{
    const OffsetResult offset = offsetFromText(text);
    if (!offset.ok)
        return; // a value that does not fit leaves the clock as it was
    m_difUtc = offset.value;
    emit difUtcChanged(m_difUtc);
}

QString UserConfig::filePath() const
{
    return configFileForWriting(m_folder);
}

void UserConfig::load()
{
    QString path = findConfigFile(m_folder);
    if (path.isEmpty()) {
        // A folder (or anything but a file) under the file's name: say so instead of
        // starting as if there were no station data, since every save would then fail.
        path = configFileForWriting(m_folder);
        if (!QFileInfo::exists(path))
            return; // the normal first start
    }
    const ConfigRead read = readUserConfig(path);
    setValues(read.items);
    if (read.items.size() >= 2)
        applyOffset(read.items.at(1));
    if (read.damaged)
        m_platform.messages->ask(read.problem, u"Configuración de Usuario"_s, MessageSeam::Buttons::Ok,
                                 MessageSeam::Icon::Warning);
}

void UserConfig::mUsuario_Click()
{
    m_slot.show();
}

void UserConfig::Command4_Click()
{
    const QStringList seven = values();
    const WriteResult written = writeUserConfig(filePath(), seven);
    if (!written.ok) {
        // Nothing was saved: say why and keep the window with what was typed.
        m_platform.messages->ask(written.error, u"Configuración de Usuario"_s, MessageSeam::Buttons::Ok,
                                 MessageSeam::Icon::Critical);
        return;
    }
    // Show what the file now holds (a double quote is stored as an apostrophe).
    QStringList stored;
    for (const QString &value : seven)
        stored << storableValue(value);
    if (stored != seven)
        setValues(stored);
    applyOffset(stored.at(1));
    m_slot.hide();
}

void UserConfig::Command3_Click()
{
    m_slot.hide();
}
