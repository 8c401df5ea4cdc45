#include "UserConfig.h"
#include "OffsetConversion.h"
#include "UserConfigFile.h"
#include "ui/ClassicCombo.h"
#include "ui/FormWindow.h"
#include "ui/Layouts.h"
#include "ui/MainFrame.h"
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSettings>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
const QString kZoneKey = u"usuario/zonaDelSistema"_s;

// The countries of the list, in its order, as the system names its locale's territory.
constexpr QLocale::Territory kListed[] = {
    QLocale::Argentina, QLocale::Bolivia,   QLocale::Chile,     QLocale::Colombia, QLocale::CostaRica, QLocale::Ecuador,
    QLocale::ElSalvador, QLocale::Spain,    QLocale::Guatemala, QLocale::Honduras, QLocale::Mexico,    QLocale::Nicaragua,
    QLocale::Panama,    QLocale::Paraguay,  QLocale::Peru,      QLocale::Uruguay,  QLocale::Venezuela,
};

// The hours to add to the local time for UTC now, by the UTC box's rule: "3", "-2", "-5.5".
QString presentOffset(const ClockSeam &clock)
{
    const QDateTime now = clock.now();
    return QString::number(double(UtcConversion::systemZone().secondsToUtc(now.date(), now.time())) / 3600.0);
}
} // namespace

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
    // Fresh texts: the system's own country when the list has it, and its offset now.
    auto *pais = window->control<ClassicCombo>(u"Pais"_s);
    const auto listed = std::find(std::begin(kListed), std::end(kListed), QLocale().territory());
    if (listed != std::end(kListed))
        pais->setText(pais->itemText(int(listed - std::begin(kListed))));
    window->lineEdit(u"Usuario(1)"_s)->setText(presentOffset(*m_platform.clock));
    auto *zone = window->control<QCheckBox>(u"Check1"_s);
    zone->setChecked(m_useZone);
    connect(zone, &QCheckBox::toggled, this, [this, window] { showZoneChoice(window); });
    showZoneChoice(window);
    return window;
}

// With the system's zone the UTC box only shows the offset in force now; it is what a saved
// USUARIO.CFG then holds, for a program that reads only the file.
void UserConfig::showZoneChoice(FormWindow *window)
{
    QLineEdit *box = window->lineEdit(u"Usuario(1)"_s);
    const bool zone = window->control<QCheckBox>(u"Check1"_s)->isChecked();
    if (zone)
        box->setText(presentOffset(*m_platform.clock));
    box->setEnabled(!zone);
}

UtcConversion UserConfig::conversion() const
{
    return m_useZone ? UtcConversion::systemZone() : UtcConversion::fixedHours(m_difUtc);
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
}

QString UserConfig::filePath() const
{
    return configFileForWriting(m_folder);
}

void UserConfig::load()
{
    QString path = findConfigFile(m_folder);
    if (path.isEmpty())
        path = configFileForWriting(m_folder);
    // A folder (or anything but a file) under the file's name is read, to say so instead of
    // starting as if there were no station data, since every save would then fail.
    const bool exists = QFileInfo::exists(path);
    // The choice once made stands; until then, a first start follows the system's clock
    // and an operator who already set the offset keeps it.
    const QVariant kept = m_platform.settings ? m_platform.settings->value(kZoneKey) : QVariant();
    m_useZone = kept.isValid() ? kept.toBool() : !exists;
    if (!exists) {
        emit conversionChanged(conversion());
        return; // the normal first start
    }
    const ConfigRead read = readUserConfig(path);
    setValues(read.items);
    showZoneChoice(m_slot.get());
    if (read.items.size() >= 2)
        applyOffset(read.items.at(1));
    emit conversionChanged(conversion());
    if (read.damaged)
        m_platform.messages->ask(read.problem, u"Configuración de Usuario"_s, MessageSeam::Buttons::Ok,
                                 MessageSeam::Icon::Warning);
}

void UserConfig::mUsuario_Click()
{
    if (FormWindow *window = m_slot.window(); window && !window->isVisible())
        showZoneChoice(window); // the offset in force may have changed since
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
    m_useZone = m_slot.get()->control<QCheckBox>(u"Check1"_s)->isChecked();
    if (m_platform.settings) {
        m_platform.settings->setValue(kZoneKey, m_useZone);
        m_platform.settings->sync();
    }
    emit conversionChanged(conversion());
    m_slot.hide();
}

void UserConfig::Command3_Click()
{
    m_slot.hide();
}
