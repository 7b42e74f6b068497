#include "fixture_window.h"

#include "app/frmExifTool.h"

#include <QTest>

std::unique_ptr<QSettings> freshSettings(const QTemporaryDir &dir)
{
    return std::make_unique<QSettings>(dir.filePath(QStringLiteral("Lumoskop.conf")), QSettings::IniFormat);
}

bool settle(const frmExifTool &window, int ms)
{
    return QTest::qWaitFor([&window] { return !window.isExifToolRunning(); }, ms);
}
