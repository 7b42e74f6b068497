#pragma once

#include "pipeline/ReportRow.h"

#include <QString>
#include <array>

// What one pass over the list leaves in the camera panel.
struct KameraResult {
    std::array<QString, 12> labels; // lblExif 0..11; labels the pass does not meet keep their earlier text
    QString cameraPicture;          // programFolder + "/" + DATEIZEICHEN(camera text) + ".jpg"
    QString lensPicture;            // programFolder + "/" + DATEIZEICHEN(lens label) + ".jpg", empty without a lens row
};

// The camera summary pass over the rows in the order the list shows them (sorted order
// when the list is sorted). Only German and English tag descriptions are known.
KameraResult Kamera(const ReportRows &rowsInListOrder, const std::array<QString, 12> &currentLabels,
                    const QString &programFolder);

// A picture path as the pass made it -> the file to load: that path when it exists, else
// the same file name in ProgramFolder::userDataFolder(); empty when neither exists.
QString findPicture(const QString &picturePath);

// The accessible description of label lblExif(index); empty outside 0..11.
QString labelDescription(int index);
