#include "fixture_window.h"

#include "app/frmExifTool.h"
#include "controls/PhotoThumbnail.h"

#include <QRadioButton>
#include <QTest>

std::unique_ptr<QSettings> freshSettings(const QTemporaryDir &dir)
{
    return std::make_unique<QSettings>(dir.filePath(QStringLiteral("Lumoskop.conf")), QSettings::IniFormat);
}

bool settle(const frmExifTool &window, int ms)
{
    // The thumbnail is made apart from the list, and may come a little later.
    const auto *thumbnail = window.findChild<const PhotoThumbnail *>(QStringLiteral("imgFoto"));
    return QTest::qWaitFor(
        [&window, thumbnail] { return !window.isExifToolRunning() && !(thumbnail && thumbnail->isLoading()); }, ms);
}

QRadioButton *groupButton(const QObject &window, int index)
{
    return window.findChild<QRadioButton *>(QStringLiteral("optExif%1").arg(index));
}
