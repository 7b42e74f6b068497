#pragma once

#include <QString>
#include <QUrl>

// The maker's page for the camera label: its first word (the text before its first blank;
// none without a blank), "Fuji" read as "Fujifilm", lower case, as https://www.<word>.de.
// The label comes from the photo's metadata, so a word that is no plain host label (ASCII
// letters, digits, inner hyphens, 1 to 63 characters) gives an invalid QUrl: open nothing.
QUrl makerAddress(const QString &cameraLabel);
