#include "app/SettingsStore.h"

#include <QCoreApplication>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <cmath>
#include <limits>

QSettings *SettingsStore::openUserSettings()
{
    // The application name is the program's title, so renaming the title moves all settings.
    // $XDG_CONFIG_HOME/<title>/<title>.conf; QSettings' own user scope would name it ".ini".
    const QString app = QCoreApplication::applicationName();
    return new QSettings(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') +
                             app + QLatin1Char('/') + app + QStringLiteral(".conf"),
                         QSettings::IniFormat);
}

SettingsStore::SettingsStore(QSettings &settings) : m_settings(settings) {}

QString SettingsStore::columnWidthKey(int column)
{
    return QString::number(column) + QStringLiteral("ExiftoolHeader");
}

QString SettingsStore::fullKey(const QString &key) const
{
    return QLatin1String(Section) + QLatin1Char('/') + key;
}

QString SettingsStore::ReadSetting(const QString &key, const QString &defaultValue) const
{
    const QVariant v = m_settings.value(fullKey(key));
    if (!v.isValid())
        return defaultValue;
    // The INI reader turns a hand-written "a, b" into a list; the value is still one text.
    if (v.metaType().id() == QMetaType::QStringList)
        return v.toStringList().join(QStringLiteral(", "));
    return v.toString();
}

void SettingsStore::WriteSetting(const QString &key, const QString &value)
{
    m_settings.setValue(fullKey(key), value);
    m_settings.sync();
}

std::optional<double> SettingsStore::toSingle(const QString &text)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v) || std::fabs(v) > std::numeric_limits<float>::max())
        return std::nullopt;
    return double(float(v));
}

std::optional<int> SettingsStore::toInt16(const QString &text)
{
    const auto v = toSingle(text);
    if (!v)
        return std::nullopt;
    const double rounded = std::nearbyint(*v); // rounds halves to even, as the stored numbers always were
    if (rounded < std::numeric_limits<qint16>::min() || rounded > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return int(rounded);
}

QString SettingsStore::fromSingle(double value)
{
    return QString::number(float(value), 'g', 7);
}

std::optional<double> SettingsStore::readSingle(const QString &key, double defaultValue) const
{
    return toSingle(ReadSetting(key, fromSingle(defaultValue)));
}

std::optional<int> SettingsStore::readInt16(const QString &key, int defaultValue) const
{
    return toInt16(ReadSetting(key, QString::number(defaultValue)));
}
