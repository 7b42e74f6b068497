#include "fixture_window.h"

#include "controls/CaptionedTextBox.h"

#include <QAction>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <QTreeView>

std::unique_ptr<QSettings> freshSettings(const QTemporaryDir &dir)
{
    return std::make_unique<QSettings>(dir.filePath(QStringLiteral("Lumoskop.conf")), QSettings::IniFormat);
}

ShownWindow::ShownWindow(const QTemporaryDir &dir)
    : ini(freshSettings(dir)), store(*ini), browser(service), window(store, browser)
{
    // The picture of a report shown comes after its list.
    QObject::connect(&browser, &PhotoBrowser::shown, &window, [this] { picturePending = true; });
    QObject::connect(&browser, &PhotoBrowser::photoChanged, &window, [this] { picturePending = false; });
    QObject::connect(&browser, &PhotoBrowser::picture, &window, [this] { picturePending = false; });
}

ShownWindow::~ShownWindow()
{
    window.close();
}

void ShownWindow::load(const QString &commandLine)
{
    // As main() does before the window is built.
    browser.setLanguage(store.language());
    browser.setShowExifTool(store.option(SettingsStore::ExiftoolCheck).value_or(false));
    browser.readCommandLine(commandLine);
    window.Form_Load();
}

bool ShownWindow::settle(int ms)
{
    return QTest::qWaitFor([this] { return !service.isBusy() && !picturePending; }, ms);
}

void ShownWindow::trigger(const char *action)
{
    QAction *a = child<QAction>(window, action);
    QVERIFY2(a, action);
    a->trigger();
}

QString ShownWindow::path() const
{
    return child<CaptionedTextBox>(window, "txtBildpfad")->text();
}

QAbstractItemModel *ShownWindow::list() const
{
    return child<QTreeView>(window, "lvwExifTool")->model();
}

int ShownWindow::rows() const
{
    return list()->rowCount();
}

QString ShownWindow::label(int index) const
{
    return window.findChild<QLabel *>(QStringLiteral("lblExif%1").arg(index))->text();
}

QRadioButton *ShownWindow::groupButton(int index) const
{
    return window.findChild<QRadioButton *>(QStringLiteral("optExif%1").arg(index));
}

bool ShownWindow::hasPicture() const
{
    return !child<QLabel>(window, "imgFoto")->pixmap().isNull();
}
