#pragma once

#include <QString>
#include <QStringList>

// What the program asks ExifTool for, named in the program's own terms. The answer is always
// ExifTool's standard output. The user's ExifTool keeper is sent this, never an argument list,
// and builds the arguments from it by the same rules as the program (ExifToolCommand::forAsk).
struct ExifToolAsk {
    enum class Kind {
        None,
        Report,         // the grouped text report in language, as "-w" would write it
        EnglishListing, // the same report in English
        Position,       // the position as numbers
        Previews,       // the embedded previews and the orientation, as JSON with binary values
    };
    Kind kind = Kind::None;
    QString photo;
    QString language; // the language box's code, for Report

    bool operator==(const ExifToolAsk &other) const
    {
        return kind == other.kind && photo == other.photo && language == other.language;
    }
};

// cmdExif's command: how ExifTool is asked for the grouped text report beside the photo.
namespace ExifToolCommand
{

// {"-lang", lang, "-a", "-u", "-g1", ["-k" when show], "-w!", writeTo, photo}, to be started
// without a shell. writeTo is "txt" for the report beside the photo, or a file name format
// ("/private/folder/%f.txt") for one written elsewhere. A photo path beginning with "-" is
// passed as "./-..." so that ExifTool cannot take a file name for an option.
QStringList arguments(const QString &lang, bool show, const QString &photo,
                      const QString &writeTo = QStringLiteral("txt"));

// The same report in English on ExifTool's output, line for line as the report in any other
// language: {"-lang", "en", "-a", "-u", "-g1", photo}.
QStringList englishListingArguments(const QString &photo);

// The photo's position as numbers on ExifTool's output, one "[Group] Tag : value" line each:
// latitude and longitude, with the references that give their signs.
QStringList positionArguments(const QString &photo);

// The same report printed to standard output instead of written to a file:
// {"-lang", lang, "-a", "-u", "-g1", photo}. ExifTool prints exactly the text "-w" writes.
QStringList printingArguments(const QString &lang, const QString &photo);

// The previews a photo embeds (camera raw and HEIC photos, which Qt cannot decode) and its
// orientation, printed as JSON with the binary values base64-encoded.
QStringList previewArguments(const QString &photo);

// ExifTool's arguments for what is asked; empty for Kind::None.
QStringList forAsk(const ExifToolAsk &ask);

// The language code as ExifTool takes it ("zh" -> "zh-cn"); every other code unchanged.
QString exifToolLanguage(const QString &code);

// "exiftool" in ProgramFolder::path() when it is an executable file there, else the one found
// on PATH (Debian's libimage-exiftool-perl); empty when there is none.
QString locate();

} // namespace ExifToolCommand
