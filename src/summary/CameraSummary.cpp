#include "summary/CameraSummary.h"

#include "exiftool/ProgramFolder.h"
#include "summary/DateiZeichen.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace
{

enum class Rule {
    Aperture,
    ExposureTime,
    FocalLength,
    Iso,
    Lens,
    Maker,
    Model,
    Metering,
    Compensation,
    Program,
    ExposureMode,
    WhiteBalance,
    Hyperfocal,
    FocalLength35,
    ScaleFactor,
};

// German and English descriptions as ExifTool writes them with -lang de / -lang en.
const QHash<QString, Rule> &tagTable()
{
    static const QHash<QString, Rule> table = {
        {QStringLiteral("Blende"), Rule::Aperture},
        {QStringLiteral("F-Wert"), Rule::Aperture},
        {QStringLiteral("Aperture Value"), Rule::Aperture},
        {QStringLiteral("F Number"), Rule::Aperture},
        {QStringLiteral("Belichtungszeit"), Rule::ExposureTime},
        {QStringLiteral("Belichtungsdauer"), Rule::ExposureTime},
        {QStringLiteral("Shutter Speed Value"), Rule::ExposureTime},
        {QStringLiteral("Shutter Speed"), Rule::ExposureTime},
        {QStringLiteral("Brennweite"), Rule::FocalLength},
        {QStringLiteral("Focal Length"), Rule::FocalLength},
        {QStringLiteral("ISO-Empfindlichkeit"), Rule::Iso},
        {QStringLiteral("ISO"), Rule::Iso},
        {QStringLiteral("Objektiv-ID"), Rule::Lens},
        {QStringLiteral("Lens ID"), Rule::Lens},
        {QStringLiteral("Gerätehersteller"), Rule::Maker},
        {QStringLiteral("Make"), Rule::Maker},
        {QStringLiteral("Kameramodell"), Rule::Model},
        {QStringLiteral("Camera Model Name"), Rule::Model},
        {QStringLiteral("Belichtungsmessmethode"), Rule::Metering},
        {QStringLiteral("Metering Mode"), Rule::Metering},
        {QStringLiteral("Belichtungskorrektur"), Rule::Compensation},
        {QStringLiteral("Exposure Compensation"), Rule::Compensation},
        {QStringLiteral("Belichtungsprogramm"), Rule::Program},
        {QStringLiteral("Exposure Program"), Rule::Program},
        {QStringLiteral("Belichtungsmodus"), Rule::ExposureMode},
        {QStringLiteral("Exposure Mode"), Rule::ExposureMode},
        {QStringLiteral("Weißabgleich"), Rule::WhiteBalance},
        {QStringLiteral("White Balance"), Rule::WhiteBalance},
        {QStringLiteral("Hyperfokale Entfernung"), Rule::Hyperfocal},
        {QStringLiteral("Hyperfocal Distance"), Rule::Hyperfocal},
        {QStringLiteral("Brennweite in 35 mm-Kleinbildformat"), Rule::FocalLength35},
        {QStringLiteral("Focal Length In 35mm Format"), Rule::FocalLength35},
        {QStringLiteral("Formatfaktor zu 35 mm"), Rule::ScaleFactor},
        {QStringLiteral("Scale Factor To 35 mm"), Rule::ScaleFactor},
        {QStringLiteral("Scale Factor To 35 mm Equivalent"), Rule::ScaleFactor},
    };
    return table;
}

// Label indices of lblExif.
enum Label {
    LabelAperture = 0,
    LabelExposureTime = 1,
    LabelFocalLength = 2,
    LabelIso = 3,
    LabelLens = 4,
    LabelCamera = 5,
    LabelMetering = 6,
    LabelCompensation = 7,
    LabelProgram = 8,
    LabelExposureMode = 9,
    LabelWhiteBalance = 10,
    LabelHyperfocal = 11,
};

// ExifTool pads names with blanks up to its colon column; only blanks are taken off, so a
// name with a stray tab stays unknown rather than matching by accident.
QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

// Kept for maker and model values that carry one of these group lines themselves: the
// camera label and the picture name must not show them.
const QString xmpDc = QStringLiteral(" ---- XMP-dc ----");
const QString xmpXmp = QStringLiteral("---- XMP-xmp ----");

constexpr qsizetype CameraLabelLimit = 1024;
constexpr qsizetype CameraModelStepLimit = 64;

QString picturePath(const QString &programFolder, const QString &text)
{
    return programFolder + QLatin1Char('/') + DATEIZEICHEN(text) + QStringLiteral(".jpg");
}

// One row the pass took, as a tooltip names it.
struct Source {
    QString group;
    QString name;  // trimmed tag description
    QString value; // trimmed value, as the rule compares it
    Rule rule;
};

QString sourceLine(const Source &source)
{
    return source.group.isEmpty() ? source.name : source.group + QStringLiteral(": ") + source.name;
}

// The rows behind a label and every other row of the same rules the pass met. A row whose
// value differs from all values the label shows for its rule is a disagreement worth telling.
QString tooltipText(const QList<Source> &shown, const QList<Source> &met)
{
    if (shown.isEmpty())
        return QString();
    QStringList lines;
    for (const Source &source : shown)
        lines << sourceLine(source);
    for (const Source &other : met) {
        const bool agrees = std::any_of(shown.cbegin(), shown.cend(), [&other](const Source &source) {
            return source.rule == other.rule && source.value == other.value;
        });
        if (!agrees)
            lines << QStringLiteral("Also: ") + sourceLine(other) + QStringLiteral(" = ") + other.value;
    }
    // Two scale-factor rows or a model met twice name the same row kind twice; once is enough.
    lines.removeDuplicates();
    return lines.join(QLatin1Char('\n'));
}

} // namespace

CameraSummary summarizeCamera(const ReportRows &rowsInListOrder, const std::array<QString, 12> &currentLabels,
                              const QString &programFolder, const QStringList &ruleNames)
{
    const bool byRuleNames = ruleNames.size() == rowsInListOrder.size();
    CameraSummary result;
    result.labels = currentLabels;
    auto &labels = result.labels;

    bool focalLengthTaken = false;
    QString saved35mm;
    QString savedCamera;

    // Provenance: the rows behind each label's present text, and every row of its rules.
    std::array<QList<Source>, 12> shown;
    std::array<QList<Source>, 12> met;
    QList<Source> saved35mmSource;
    QList<Source> savedCameraSources;

    for (qsizetype i = 0; i < rowsInListOrder.size(); ++i) {
        const ReportRow &row = rowsInListOrder.at(i);
        // A group header row only repeats the name of the tag line above it; taking it for
        // that tag once put "---- XMP-photoshop ----" into the white balance and header
        // lines into the camera label.
        if (row.header)
            continue;
        const auto rule = tagTable().constFind(trimBlanks(byRuleNames ? ruleNames.at(i) : row.name));
        if (rule == tagTable().constEnd())
            continue;
        const QString v = trimBlanks(row.value);
        const Source source{row.group(), trimBlanks(row.name), v, *rule};
        // A label written by exactly this row, replacing what it showed.
        auto wrote = [&](int label) {
            shown[label] = {source};
            met[label] << source;
        };
        switch (*rule) {
        case Rule::Aperture:
            labels[LabelAperture] = QStringLiteral("f/") + v;
            wrote(LabelAperture);
            break;
        case Rule::ExposureTime:
            labels[LabelExposureTime] = v + QStringLiteral(" sec");
            wrote(LabelExposureTime);
            break;
        case Rule::FocalLength:
            // The plain focal length comes first; the Composite one repeats it with the
            // 35 mm equivalent in its value, which the scale-factor text adds anyway.
            if (!focalLengthTaken) {
                labels[LabelFocalLength] = v;
                focalLengthTaken = true;
                shown[LabelFocalLength] = {source};
            }
            break;
        case Rule::Iso:
            labels[LabelIso] = v;
            wrote(LabelIso);
            break;
        case Rule::Lens:
            labels[LabelLens] = v;
            result.lensPicture = picturePath(programFolder, labels[LabelLens]);
            wrote(LabelLens);
            break;
        case Rule::Maker:
            labels[LabelCamera] = v;
            labels[LabelCamera].remove(xmpDc);
            shown[LabelCamera] = {source};
            shown[LabelCamera].last().value = labels[LabelCamera];
            met[LabelCamera] << shown[LabelCamera].last();
            break;
        case Rule::Model: {
            // Every model step copies and searches the whole label and the list of its source
            // rows, and a report of nothing but model rows made both grow by one model each:
            // 70,000 such lines (1 MB) froze the window for many seconds. No camera shows that
            // long a label or that many models in a row, so past either bound the step is skipped.
            if (labels[LabelCamera].size() > CameraLabelLimit || shown[LabelCamera].size() > CameraModelStepLimit)
                break;
            QString camera = labels[LabelCamera] + QLatin1Char(' ') + v;
            camera.remove(xmpXmp);
            camera = trimBlanks(camera);
            camera.remove(xmpDc);
            labels[LabelCamera] = camera;
            savedCamera = camera;
            Source model = source;
            model.value.remove(xmpXmp);
            model.value = trimBlanks(model.value);
            model.value.remove(xmpDc);
            shown[LabelCamera] << model;
            met[LabelCamera] << model;
            savedCameraSources = shown[LabelCamera];
            break;
        }
        case Rule::Metering:
            labels[LabelMetering] = v;
            wrote(LabelMetering);
            break;
        case Rule::Compensation:
            labels[LabelCompensation] = v + QStringLiteral(" EV");
            wrote(LabelCompensation);
            break;
        case Rule::Program:
            labels[LabelProgram] = v;
            wrote(LabelProgram);
            break;
        case Rule::ExposureMode:
            labels[LabelExposureMode] = v;
            wrote(LabelExposureMode);
            break;
        case Rule::WhiteBalance:
            labels[LabelWhiteBalance] = v;
            wrote(LabelWhiteBalance);
            break;
        case Rule::Hyperfocal:
            labels[LabelHyperfocal] = v;
            wrote(LabelHyperfocal);
            break;
        case Rule::FocalLength35:
            saved35mm = v;
            saved35mmSource = {source};
            break;
        case Rule::ScaleFactor:
            labels[LabelFocalLength] +=
                QStringLiteral(" x ") + v + QStringLiteral(" = ") + saved35mm + QStringLiteral(" KB");
            shown[LabelFocalLength] << source << saved35mmSource;
            break;
        }
    }

    // The camera label shows maker and model only as a pair: a maker row after the last
    // model row does not count.
    labels[LabelCamera] = savedCamera;
    labels[LabelCamera].remove(xmpDc);
    result.cameraPicture = picturePath(programFolder, savedCamera);
    shown[LabelCamera] = savedCameraSources;

    for (int label = 0; label < 12; ++label)
        result.tooltips[label] = tooltipText(shown[label], met[label]);
    return result;
}

QString findPicture(const QString &picturePath)
{
    if (picturePath.isEmpty())
        return QString();
    const QFileInfo given(picturePath);
    if (given.isFile())
        return picturePath;
    // An installed program's folder is not the user's to write; their own pictures go here.
    const QString inUserFolder = ProgramFolder::userDataFolder() + QLatin1Char('/') + given.fileName();
    if (QFileInfo(inUserFolder).isFile())
        return inUserFolder;
    return QString();
}
