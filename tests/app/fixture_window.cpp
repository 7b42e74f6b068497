#include "fixture_window.h"

#include "app/frmExifTool.h"

#include <QRadioButton>
#include <QTest>

std::unique_ptr<QSettings> freshSettings(const QTemporaryDir &dir)
{
    return std::make_unique<QSettings>(dir.filePath(QStringLiteral("Lumoskop.conf")), QSettings::IniFormat);
}

bool settle(const frmExifTool &window, int ms)
{
    return QTest::qWaitFor([&window] { return !window.isExifToolRunning(); }, ms);
}

QRadioButton *groupButton(const QObject &window, int index)
{
    return window.findChild<QRadioButton *>(QStringLiteral("optExif%1").arg(index));
}
