#pragma once

#include <QString>

// TxtPfad: where ExifTool's "-w! txt" puts the report of a photo.
namespace ReportPath
{

// The photo's folder + its file name less the last extension + ".txt", the way ExifTool
// names its output (Bild.jpg and Bild.jpeg -> Bild.txt, Bild -> Bild.txt, a.b.c -> a.b.txt,
// .hidden -> .txt, abc. -> abc.txt). Returns false for a path shorter than four characters;
// the caller then shows error 5 "Invalid procedure call or argument".
bool forPhoto(const QString &photoPath, QString *reportPath);

// ExifTool is to make photo's report: it is a file, and no report stands beside it (one that
// does is shown without ExifTool; a folder is no photo).
bool needsReport(const QString &photo);

// The command-line argument as a photo path: an argument that names an existing file as it
// stands is taken unchanged; otherwise every double quote is dropped, nothing else changed
// (no trimming, no splitting at blanks).
QString photoPathFromArgument(const QString &argument);

} // namespace ReportPath
