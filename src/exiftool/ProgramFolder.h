#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// Where the program looks for the files a user may put beside it (ExifTool, sounds, camera
// and lens pictures). Tests point it at a temporary folder.
namespace ProgramFolder
{

// The folder of the program's executable, without a trailing separator.
QString path();
void setOverride(const QString &folder); // empty text restores the real folder

// Where the program's own helpers are (the keeper, the window library): its folder (the build
// tree), then where they are installed (<libdir>/lumoskop, out of PATH).
QStringList helperFolders();

// A file in the program's folder wins; otherwise the copy built into the program under
// ":/<builtInFolder>/<fileName>"; the empty text when neither exists.
QString asset(const QString &builtInFolder, const QString &fileName);
QUrl assetUrl(const QString &builtInFolder, const QString &fileName);

// The per-user pictures folder (~/.local/share/Lumoskop), so that an installed program,
// whose own folder the user cannot write, can still have camera and lens pictures.
QString userDataFolder();

} // namespace ProgramFolder
