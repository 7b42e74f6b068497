#include "fixture_window.h"

#include "app/frmExifTool.h"
#include "controls/PhotoThumbnail.h"

#include <QTest>

std::unique_ptr<QSettings> freshSettings(const QTemporaryDir &dir)
{
    return std::make_unique<QSettings>(dir.filePath(QStringLiteral("Lumoskop.conf")), QSettings::IniFormat);
}

bool settle(const frmExifTool &window, int ms)
{
    // The thumbnail is made apart from the list, and may come a little later.
    const auto *thumbnail = qobject_cast<const PhotoThumbnail *>(window.photoBox());
    return QTest::qWaitFor(
        [&window, thumbnail] { return !window.isExifToolRunning() && !(thumbnail && thumbnail->isLoading()); }, ms);
}
