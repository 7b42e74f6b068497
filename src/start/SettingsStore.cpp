#include "start/SettingsStore.h"

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

SettingsStore::SettingsStore(QSettings &settings) : m_settings(settings)
{
}

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
    // Every photo shown stores its group again: a value already stored costs no write of the
    // file (which takes milliseconds, a whole frame on a slow disk).
    const QVariant stored = m_settings.value(fullKey(key));
    if (stored.metaType().id() == QMetaType::QString && stored.toString() == value)
        return;
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

void SettingsStore::writeStartValues()
{
    WriteSetting(QLatin1String(ProgrammName), QLatin1String(ProgrammNameValue));
    WriteSetting(QLatin1String(ErscheinungsJahr), QLatin1String(ErscheinungsJahrValue));
}

QString SettingsStore::programName() const
{
    return ReadSetting(QLatin1String(ProgrammName), QString());
}

namespace
{
// A place or size past ten million twips (over 600,000 pixels) is no window's: a typo or a
// damaged file, which would make the window unreachable.
constexpr double PlacementLimit = 1e7;

std::optional<int> edge(std::optional<double> value)
{
    if (!value || std::fabs(*value) >= PlacementLimit)
        return std::nullopt;
    return int(*value);
}

std::optional<int> extent(std::optional<double> value)
{
    if (!value || *value <= 0 || *value >= PlacementLimit)
        return std::nullopt;
    return int(*value);
}
} // namespace

std::optional<int> SettingsStore::top() const
{
    return edge(readSingle(QLatin1String(ExiftoolTop), DefaultTop));
}

std::optional<int> SettingsStore::left() const
{
    return edge(readSingle(QLatin1String(ExiftoolLeft), DefaultLeft));
}

std::optional<int> SettingsStore::height() const
{
    return extent(readSingle(QLatin1String(ExiftoolHeight), DefaultHeight));
}

std::optional<int> SettingsStore::width() const
{
    return extent(readSingle(QLatin1String(ExiftoolWidth), DefaultWidth));
}

void SettingsStore::setPlacement(int top, int left, int height, int width)
{
    WriteSetting(QLatin1String(ExiftoolTop), fromSingle(top));
    WriteSetting(QLatin1String(ExiftoolLeft), fromSingle(left));
    WriteSetting(QLatin1String(ExiftoolHeight), fromSingle(height));
    WriteSetting(QLatin1String(ExiftoolWidth), fromSingle(width));
}

std::optional<int> SettingsStore::columnWidth(int column) const
{
    const auto w = toSingle(ReadSetting(columnWidthKey(column), QLatin1String(DefaultColumnWidth)));
    if (!w || *w < 0 || *w >= PlacementLimit)
        return std::nullopt;
    return int(*w);
}

void SettingsStore::setColumnWidth(int column, int twips)
{
    WriteSetting(columnWidthKey(column), fromSingle(twips));
}

QString SettingsStore::fontName() const
{
    const QString face = ReadSetting(QLatin1String(ProgSchriftName), QLatin1String(DefaultFontName));
    return face.trimmed().isEmpty() ? QString() : face;
}

std::optional<double> SettingsStore::fontSize() const
{
    const auto size = toSingle(ReadSetting(QLatin1String(ProgSchriftSize), QLatin1String(DefaultFontSize)));
    if (!size || *size <= 0 || *size > 400)
        return std::nullopt;
    return size;
}

std::optional<bool> SettingsStore::option(const char *key) const
{
    const auto state = readInt16(QLatin1String(key), DefaultCheck);
    if (!state || (*state != 0 && *state != 1))
        return std::nullopt;
    return *state == 1;
}

void SettingsStore::setOption(const char *key, bool on)
{
    WriteSetting(QLatin1String(key), on ? QStringLiteral("1") : QStringLiteral("0"));
}

QString SettingsStore::language() const
{
    return ReadSetting(QLatin1String(LumoskopSprache), QLatin1String(DefaultLanguage));
}

void SettingsStore::setLanguage(const QString &code)
{
    WriteSetting(QLatin1String(LumoskopSprache), code);
}

std::optional<int> SettingsStore::group() const
{
    const auto index = readInt16(QLatin1String(OptExif), DefaultOptExif);
    if (!index || *index < 0 || *index > 5)
        return std::nullopt;
    return index;
}

void SettingsStore::setGroup(int index)
{
    WriteSetting(QLatin1String(OptExif), QString::number(index));
}

QString SettingsStore::updateAddress(const QString &defaultAddress) const
{
    return ReadSetting(QLatin1String(Update), defaultAddress);
}

std::optional<int> SettingsStore::exifToolWarmSeconds() const
{
    const auto seconds = readInt16(QLatin1String(ExifToolWarmSeconds), DefaultExifToolWarmSeconds);
    if (!seconds || *seconds < 0)
        return std::nullopt;
    return seconds;
}
