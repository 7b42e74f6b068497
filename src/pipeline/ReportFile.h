#pragma once

#include <QString>

// The file at TxtPfad may be a user's own file that merely has the report's name (notes.txt
// beside notes.jpg), another photo's report (IMG.JPG and IMG.CR2 share IMG.txt) or even the
// photo itself (a photo named notes.txt). Only our own report may be shown or deleted, and
// ExifTool ("-w!" overwrites) may run only where no foreign file would be lost.
namespace ReportFile
{

enum class Status {
    Missing,           // nothing at the report path
    OwnReport,         // an ExifTool report of this photo
    OtherPhotosReport, // an ExifTool report whose file name tag names another file
    Foreign,           // not an ExifTool report, not a regular file, or the photo itself
};

// Looks at the file only (its first lines); never changes it.
Status examine(const QString &reportPath, const QString &photoPath);

// A regular file whose first line is a group header such as "---- ExifTool ----".
bool isReport(const QString &path);

// The first value after the "---- System ----" header (ExifTool's file name tag, in any
// language), without the blank that follows the colon; empty when there is none.
QString reportedFileName(const QString &reportPath);

// Deletes the file only when it is this photo's own ExifTool report (and not the photo
// itself); true when a file was deleted. Another photo's report is left for that photo.
bool removeReport(const QString &reportPath, const QString &photoPath);

// Two names of one file (through symbolic and hard links alike) count as one file.
bool samePath(const QString &a, const QString &b);

} // namespace ReportFile
