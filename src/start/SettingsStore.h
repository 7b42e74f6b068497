#pragma once

#include <QString>
#include <optional>

class QSettings;

// The per-user settings: short text values under the program's title and section "Options".
// Every key and default lives here once; the window reads and writes through this class only.
// Other programs and people edit the file too, so nothing read from it is trusted: a value
// that does not convert is reported as absent and its caller skips that one step.
class SettingsStore
{
public:
    // The file the program uses: $XDG_CONFIG_HOME/<title>/<title>.conf, INI format.
    static QSettings *openUserSettings();
    explicit SettingsStore(QSettings &settings);

    // The key table.
    static constexpr const char *ProgrammName = "ProgrammName";
    static constexpr const char *ErscheinungsJahr = "ErscheinungsJahr";
    static constexpr const char *ExiftoolTop = "ExiftoolTop";
    static constexpr const char *ExiftoolLeft = "ExiftoolLeft";
    static constexpr const char *ExiftoolHeight = "ExiftoolHeight";
    static constexpr const char *ExiftoolWidth = "ExiftoolWidth";
    static constexpr const char *ProgSchriftName = "ProgSchriftName";
    static constexpr const char *ProgSchriftSize = "ProgSchriftSize";
    static constexpr const char *ExiftoolCheck = "ExiftoolCheck";
    static constexpr const char *TXTcheck = "TXTcheck";
    static constexpr const char *ExiftoolSort = "ExiftoolSort";
    static constexpr const char *LumoskopSprache = "LumoskopSprache";
    static constexpr const char *OptExif = "optExif";
    static constexpr const char *Update = "Update";
    static constexpr const char *ExifToolWarmSeconds = "ExifToolWarmSeconds";
    static QString columnWidthKey(int column); // 1 -> "1ExiftoolHeader"

    static constexpr const char *Section = "Options";
    static constexpr const char *ProgrammNameValue = "L u m o s k o p";
    static constexpr const char *ErscheinungsJahrValue = "2023";

    static constexpr double DefaultTop = 100;
    static constexpr double DefaultLeft = 100;
    static constexpr double DefaultHeight = 12360;
    static constexpr double DefaultWidth = 10920;
    static constexpr const char *DefaultFontName = "Segoe UI";
    static constexpr const char *DefaultFontSize = "12";
    static constexpr int DefaultCheck = 0;
    static constexpr const char *DefaultColumnWidth = "2000";
    static constexpr const char *DefaultLanguage = "en";
    static constexpr int DefaultOptExif = 2;
    static constexpr int DefaultExifToolWarmSeconds = 600;

    // The stored text, or defaultValue when the key is absent; a key present but empty gives "".
    QString ReadSetting(const QString &key, const QString &defaultValue) const;
    // Written at once, so a crash loses no option change; a store that cannot be written is
    // silently left as it is (the option then works for this run only).
    void WriteSetting(const QString &key, const QString &value);

    // Conversions of stored text, absent when the text is no such number.
    static std::optional<double> toSingle(const QString &text);
    static std::optional<int> toInt16(const QString &text);
    static QString fromSingle(double value);

    std::optional<double> readSingle(const QString &key, double defaultValue) const;
    std::optional<int> readInt16(const QString &key, int defaultValue) const;

    // Typed reads and writes. A read gives nothing where the stored text is not a usable value
    // (not a number, out of range), and the caller leaves that one property as it was.
    void writeStartValues(); // "ProgrammName" and "ErscheinungsJahr", at every start
    QString programName() const;

    // The window's outer edges and size in twips.
    std::optional<int> top() const;
    std::optional<int> left() const;
    std::optional<int> height() const;
    std::optional<int> width() const;
    void setPlacement(int top, int left, int height, int width);

    // The width of list column 1 or 2 in twips.
    std::optional<int> columnWidth(int column) const;
    void setColumnWidth(int column, int twips);

    // The font of the path box and the list: a face (empty: keep the designed one) and a size.
    QString fontName() const;
    std::optional<double> fontSize() const;

    // The three option boxes, by their keys ExiftoolCheck, TXTcheck and ExiftoolSort.
    std::optional<bool> option(const char *key) const;
    void setOption(const char *key, bool on);

    QString language() const; // used unchanged, even when it is none of the box's codes
    void setLanguage(const QString &code);

    std::optional<int> group() const; // the group button 0 to 5
    void setGroup(int index);

    QString updateAddress(const QString &defaultAddress) const;

    // How long the user's ExifTool keeper stays after the last request, in seconds; 0: no
    // keeper, nothing outlives the program.
    std::optional<int> exifToolWarmSeconds() const;

private:
    QString fullKey(const QString &key) const;
    QSettings &m_settings;
};
