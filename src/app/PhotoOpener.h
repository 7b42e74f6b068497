#pragma once

#include <QString>

// Opens the photo in the application the desktop associates with its type; where none is
// associated or none starts, the file manager shows the photo (selected where the file
// manager supports it, else its folder). The photo always travels as one URL, never inside
// a command line, so blanks, quotes and shell characters in its name do no harm.
namespace PhotoOpener {

struct Result {
    int errorNumber = 0; // 0: opened or shown; otherwise the error to report
    QString description;
    QString how;         // "application", "file manager" or "folder", for tests and notes
};

Result open(const QString &photoPath);

// The desktop's default application for the photo's type as xdg-mime reports it; empty when
// none is associated. "?" when the desktop cannot be asked (no xdg-mime).
QString defaultApplication(const QString &photoPath);

} // namespace PhotoOpener
