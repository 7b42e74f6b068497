#include "fixture_window.h"

#include "controls/CaptionedTextBox.h"
#include "pipeline/ReportListModel.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <QTreeView>

std::unique_ptr<QSettings> freshSettings(const QTemporaryDir &dir)
{
    return std::make_unique<QSettings>(dir.filePath(QStringLiteral("Lumoskop.conf")), QSettings::IniFormat);
}

ShownWindow::ShownWindow(const QTemporaryDir &dir) : ShownWindow(*freshSettings(dir).release())
{
    ownSettings.reset(ini);
}

ShownWindow::ShownWindow(QSettings &settings)
    : ini(&settings), store(settings), browser(service), window(store, browser)
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
    const bool settled = QTest::qWaitFor([this] { return !service.isBusy() && !picturePending; }, ms);
    // A notice of the last step is shown after that step, from the event loop: it comes now.
    QCoreApplication::sendPostedEvents();
    return settled;
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

ReportListModel *ShownWindow::model() const
{
    return qobject_cast<ReportListModel *>(child<QTreeView>(window, "lvwExifTool")->model());
}

int ShownWindow::rows() const
{
    return model()->rowCount();
}

void ShownWindow::pickLanguage(const QString &code)
{
    auto *box = child<QComboBox>(window, "cboSprache");
    box->showPopup();
    box->view()->setCurrentIndex(box->model()->index(box->findText(code), 0));
    QTest::keyClick(box->view(), Qt::Key_Return);
}

void ShownWindow::clickHeader(int section)
{
    QHeaderView *header = child<QTreeView>(window, "lvwExifTool")->header();
    const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
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
