#include "Processes.h"
#include "app/CameraPanel.h"
#include "start/SettingsStore.h"
#include "app/frmExifTool.h"
#include "exiftool/ProgramFolder.h"
#include "fixture_window.h"
#include "pipeline/ReportListModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTreeView>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// Hostile input against the real main window with the real ExifTool: odd photo paths, odd
// metadata, broken reports, broken settings and commands pressed while ExifTool works. Each
// case must end without a crash, with the list shown or one clear message, and with every file
// of the user's as it was.
namespace
{

// Far beyond any run of these cases; a window still busy then is closed and the case fails.
constexpr int kWatchdogMs = 30000;

// ---------------------------------------------------------------- the user's files, byte for byte

// Every entry below a folder by its raw name, with what it holds: a file its bytes, a link its
// target, a FIFO or other special file only its kind (opening a FIFO would block).
using Tree = std::map<std::string, std::string>;

void walk(const std::string &dir, const std::string &prefix, Tree *tree)
{
    DIR *d = ::opendir(dir.c_str());
    if (!d)
        return;
    while (dirent *e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string full = dir + '/' + name;
        const std::string rel = prefix + name;
        struct stat st;
        if (::lstat(full.c_str(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            (*tree)[rel + '/'] = "folder";
            walk(full, rel + '/', tree);
        } else if (S_ISLNK(st.st_mode)) {
            char target[4096];
            const ssize_t n = ::readlink(full.c_str(), target, sizeof target);
            (*tree)[rel] = "link to " + std::string(target, size_t(n > 0 ? n : 0));
        } else if (S_ISREG(st.st_mode)) {
            std::string bytes;
            const int fd = ::open(full.c_str(), O_RDONLY);
            char buffer[1 << 16];
            for (ssize_t n; fd >= 0 && (n = ::read(fd, buffer, sizeof buffer)) > 0;)
                bytes.append(buffer, size_t(n));
            if (fd >= 0)
                ::close(fd);
            (*tree)[rel] = "file " + bytes;
        } else {
            (*tree)[rel] = "special " + std::to_string(st.st_mode & S_IFMT);
        }
    }
    ::closedir(d);
}

Tree snapshot(const QString &dir)
{
    Tree tree;
    walk(QFile::encodeName(dir).toStdString(), std::string(), &tree);
    return tree;
}

// Empty when nothing changed; else what was changed, added and removed.
QString changes(const Tree &before, const Tree &after)
{
    QStringList out;
    for (const auto &[name, content] : before) {
        const auto it = after.find(name);
        if (it == after.end())
            out << QStringLiteral("removed ") + QString::fromUtf8(name.c_str());
        else if (it->second != content)
            out << QStringLiteral("changed ") + QString::fromUtf8(name.c_str());
    }
    for (const auto &entry : after) {
        if (!before.count(entry.first))
            out << QStringLiteral("added ") + QString::fromUtf8(entry.first.c_str());
    }
    return out.join(QStringLiteral("; "));
}

bool writeRaw(const QByteArray &path, const QByteArray &bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    ::close(fd);
    return ok;
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// A FIFO blocks whoever opens it for reading until a writer comes. Should the window block on
// one, this opens the other end after a grace time (from another thread: the window's own is
// stuck) and notes that it had to.
class FifoRescue
{
public:
    FifoRescue(const QByteArray &path, int graceMs)
        : m_thread([this, path, graceMs] {
              std::unique_lock<std::mutex> lock(m_mutex);
              if (m_cv.wait_for(lock, std::chrono::milliseconds(graceMs), [this] { return m_done; }))
                  return;
              while (!m_done) {
                  const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
                  if (fd >= 0) {
                      m_rescued = true;
                      ::close(fd);
                  }
                  m_cv.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_done; });
              }
          })
    {
    }
    ~FifoRescue()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_cv.notify_all();
        m_thread.join();
    }
    bool rescued() const { return m_rescued; }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_done = false;
    std::atomic<bool> m_rescued{false};
    std::thread m_thread;
};

// ---------------------------------------------------------------- driving the window

enum class Expect { Shown, ShownWithNotice, Message };

struct Outcome {
    int rows = 0;
    ReportRows reportRows;
    QStringList boxes;
    QString photoPath;
    bool hung = false;
};

// One photo through the whole road, the way the user gives it: on the command line (double
// quotes dropped there) or with the file button. then runs on the open window. kept: ExifTool
// kept running between photos, as the program does; off, every run starts ExifTool anew.
Outcome drive(QSettings *ini, const QString &photo, bool commandLine,
              const std::function<void(ShownWindow &)> &then = {}, bool kept = true)
{
    Outcome out;
    BoxWatcher boxes;
    {
        ShownWindow f(*ini);
        f.service.setKeepRunning(kept);
        if (commandLine) {
            f.load(photo);
        } else {
            f.load();
            f.browser.open(photo);
        }
        out.hung = !f.settle(kWatchdogMs);
        out.rows = f.rows();
        out.reportRows = f.model()->reportRows();
        out.photoPath = f.path();
        if (then)
            then(f);
        f.window.close();
    }
    out.boxes = boxes.texts;
    return out;
}

void verifyOutcome(const Outcome &out, Expect expect)
{
    QVERIFY2(!out.hung, "the window was still busy when the watchdog closed it");
    const QString seen = QStringLiteral("%1 rows, boxes: %2").arg(out.rows).arg(out.boxes.join(QStringLiteral(" | ")));
    switch (expect) {
    case Expect::Shown:
        QVERIFY2(out.rows > 0 && out.boxes.isEmpty(), qPrintable(seen));
        break;
    case Expect::ShownWithNotice:
        QVERIFY2(out.rows > 0 && out.boxes.size() == 1, qPrintable(seen));
        break;
    case Expect::Message:
        QVERIFY2(out.rows == 0 && out.boxes.size() == 1, qPrintable(seen));
        break;
    }
}

// A failed check inside verifyOutcome ends only that helper; the case ends here too.
#define VERIFY_OUTCOME(out, expect)                                                                                    \
    do {                                                                                                               \
        verifyOutcome(out, expect);                                                                                    \
        if (QTest::currentTestFailed())                                                                                \
            return;                                                                                                    \
    } while (false)

const ReportRow *findRow(const ReportRows &rows, const QString &name)
{
    for (const ReportRow &r : rows) {
        if (!r.header && r.name.trimmed() == name)
            return &r;
    }
    return nullptr;
}

bool showsFile(const ReportRows &rows, const QString &fileName)
{
    for (const ReportRow &r : rows) {
        if (!r.header && r.value == QLatin1Char(' ') + fileName)
            return true;
    }
    return false;
}

// A report as ExifTool writes it for photo, then shaped by the test.
QByteArray realReport(const QString &photo)
{
    if (!TestPhotos::writeReport(photo, QStringLiteral("en")))
        return QByteArray();
    const QString path = photo.left(photo.lastIndexOf(QLatin1Char('.'))) + QStringLiteral(".txt");
    const QByteArray bytes = bytesOf(path);
    QFile::remove(path);
    return bytes;
}

// Restores the working folder and an environment variable when the case ends, however it ends.
class Restore
{
public:
    Restore() : m_cwd(QDir::currentPath()), m_xdg(qgetenv("XDG_CONFIG_HOME")) {}
    ~Restore()
    {
        QDir::setCurrent(m_cwd);
        qputenv("XDG_CONFIG_HOME", m_xdg);
    }

private:
    QString m_cwd;
    QByteArray m_xdg;
};

} // namespace

class tst_Hostile : public QObject
{
    Q_OBJECT
public slots:
    void recordUrl(const QUrl &url) { m_openedUrls << url; }

private slots:
    void initTestCase()
    {
        QVERIFY2(!TestPhotos::exiftool().isEmpty(), "ExifTool must be installed");
        QVERIFY(m_work.isValid());
        const QString made = m_work.filePath(QStringLiteral("camera.jpg"));
        QVERIFY(TestPhotos::makeCameraPhoto(made));
        m_camera = bytesOf(made);
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "recordUrl");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "recordUrl");
    }
    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    }

    void photoPaths_data();
    void photoPaths();
    void fifoPhotoWithKeptReport();
    void metadataValues_data();
    void metadataValues();
    void reportChangedBetweenRunAndRead_data();
    void reportChangedBetweenRunAndRead();
    void reportWithNulBytes();
    void hugeReports_data();
    void hugeReports();
    void settingsFiles_data();
    void settingsFiles();
    void unwritableConfigFolder();
    void commandsDuringARun_data();
    void commandsDuringARun();
    void closingDuringARun_data();
    void closingDuringARun();

private:
    QTemporaryDir m_work;
    QByteArray m_camera;
    QList<QUrl> m_openedUrls;
};

// ---------------------------------------------------------------- photo paths

void tst_Hostile::photoPaths_data()
{
    QTest::addColumn<QByteArray>("name"); // raw bytes, relative to the case's folder
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("commandLine");
    QTest::addColumn<bool>("relative");
    QTest::addColumn<Expect>("expect");

    const QByteArray longName = QByteArray(4000, 'a') + ".jpg";
    struct Case {
        const char *tag;
        QByteArray name;
        const char *kind;
        bool commandLine;
        bool relative;
        Expect expect;
    };
    const Case cases[] = {
        {"blanks", "Mein Urlaub  2023 .jpg", "camera", true, false, Expect::Shown},
        {"double quotes, command line", "Bild \"A\".jpg", "camera", true, false, Expect::Shown},
        {"double quotes, file button", "Bild \"A\".jpg", "camera", false, false, Expect::Shown},
        {"single quotes", "O'Brien's 'Bild'.jpg", "camera", true, false, Expect::Shown},
        {"command substitution", "$(touch HACKED).jpg", "camera", true, false, Expect::Shown},
        {"backticks", "`touch HACKED`.jpg", "camera", false, false, Expect::Shown},
        {"semicolons", "a;touch HACKED;b.jpg", "camera", true, false, Expect::Shown},
        {"leading dash", "-all=.jpg", "camera", false, true, Expect::Shown},
        {"newline", "line1\nline2.jpg", "camera", false, false, Expect::Shown},
        {"tab and escape", "a\tb\x1b[31mc.jpg", "camera", false, false, Expect::Shown},
        {"trailing blank", "Bild.jpg ", "camera", false, false, Expect::Shown},
        {"leading blank", " Bild.jpg", "camera", true, false, Expect::Shown},
        {"colon", "12:30 Uhr: Bild.jpg", "camera", true, false, Expect::Shown},
        {"non-UTF-8 bytes", "caf\xe9 \xff.jpg", "camera", true, false, Expect::Message},
        {"4000 characters", longName, "missing", true, false, Expect::Message},
        {"folder", "Urlaub", "folder", false, false, Expect::Message},
        {"folder named .jpg", "Urlaub.jpg", "folder", true, false, Expect::Message},
        {"FIFO", "pipe.jpg", "fifo", true, false, Expect::Message},
        {"symbolic link", "link.jpg", "symlink", true, false, Expect::Shown},
        {"missing file", "gone.jpg", "missing", true, false, Expect::Message},
        {"empty file", "empty.jpg", "empty", true, false, Expect::Shown},
        {"text file", "notes.jpg", "text", true, false, Expect::Shown},
        {"truncated JPEG", "cut.jpg", "truncated", true, false, Expect::Shown},
        // Nothing can stand beside these photos: their reports go to a private folder.
        {"photo named .txt", "x.txt", "camera", true, false, Expect::Shown},
        {"report path is a folder", "ro.jpg", "reportIsFolder", true, false, Expect::ShownWithNotice},
        {"report path is a FIFO", "fifo.jpg", "reportIsFifo", true, false, Expect::ShownWithNotice},
        {"report path through a regular file", "ro.jpg", "reportThroughFile", true, false, Expect::ShownWithNotice},
        {"photo path through a regular file", "blocker/x.jpg", "throughFile", true, false, Expect::Message},
    };
    for (const Case &c : cases)
        QTest::newRow(c.tag) << c.name << QString::fromLatin1(c.kind) << c.commandLine << c.relative << c.expect;
}

void tst_Hostile::photoPaths()
{
    QFETCH(QByteArray, name);
    QFETCH(QString, kind);
    QFETCH(bool, commandLine);
    QFETCH(bool, relative);
    QFETCH(Expect, expect);

    QTemporaryDir dir;
    QTemporaryDir config;
    const QByteArray root = QFile::encodeName(dir.path()) + '/';
    const QByteArray raw = root + name;
    const QByteArray reportRaw = raw.left(raw.lastIndexOf('.')) + ".txt";
    if (kind == QLatin1String("camera")) {
        QVERIFY(writeRaw(raw, m_camera));
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(::mkdir(raw.constData(), 0755) == 0);
        QVERIFY(writeRaw(raw + "/a.jpg", m_camera));
        QVERIFY(writeRaw(raw + "/notes.jpg", m_camera));
        QVERIFY(writeRaw(raw + "/notes.txt", "Meine Notizen zum Urlaub\n"));
    } else if (kind == QLatin1String("fifo")) {
        QVERIFY(::mkfifo(raw.constData(), 0644) == 0);
    } else if (kind == QLatin1String("symlink")) {
        QVERIFY(writeRaw(root + "real.jpg", m_camera));
        QVERIFY(::symlink("real.jpg", raw.constData()) == 0);
    } else if (kind == QLatin1String("empty")) {
        QVERIFY(writeRaw(raw, QByteArray()));
    } else if (kind == QLatin1String("text")) {
        QVERIFY(writeRaw(raw, "Hello: this is no photo\n---- IFD0 ----\n"));
    } else if (kind == QLatin1String("truncated")) {
        QVERIFY(writeRaw(raw, m_camera.left(300)));
    } else if (kind == QLatin1String("reportIsFolder")) {
        QVERIFY(writeRaw(raw, m_camera));
        QVERIFY(::mkdir(reportRaw.constData(), 0755) == 0);
        QVERIFY(writeRaw(reportRaw + "/keep.txt", "kept\n"));
    } else if (kind == QLatin1String("reportIsFifo")) {
        QVERIFY(writeRaw(raw, m_camera));
        QVERIFY(::mkfifo(reportRaw.constData(), 0644) == 0);
    } else if (kind == QLatin1String("reportThroughFile")) {
        QVERIFY(writeRaw(raw, m_camera));
        QVERIFY(writeRaw(root + "blocker", "a regular file\n"));
        QVERIFY(::symlink("blocker/ro.txt", reportRaw.constData()) == 0);
    } else if (kind == QLatin1String("throughFile")) {
        QVERIFY(writeRaw(root + "blocker", "a regular file\n"));
    }
    // QTemporaryDir cannot remove a name that is not UTF-8.
    struct Unlink {
        QByteArray path;
        ~Unlink() { ::unlink(path.constData()); }
    } unlinkRaw{raw};
    std::unique_ptr<FifoRescue> rescue;
    if (kind.contains(QLatin1String("ifo")))
        rescue = std::make_unique<FifoRescue>(kind == QLatin1String("fifo") ? raw : reportRaw, 5000);

    Restore restore;
    QDir::setCurrent(dir.path());
    const Tree before = snapshot(dir.path());
    auto ini = freshSettings(config);
    // Qt decodes file names as UTF-8, as it decodes the command line: what the window gets.
    const QString photo = relative ? QFile::decodeName(name) : QFile::decodeName(raw);
    const Outcome out = drive(ini.get(), photo, commandLine);
    VERIFY_OUTCOME(out, expect);
    if (rescue)
        QVERIFY2(!rescue->rescued(), "the window blocked on the FIFO");
    const QString changed = changes(before, snapshot(dir.path()));
    QVERIFY2(changed.isEmpty(), qPrintable(changed));
    if (expect != Expect::Message) {
        // The list belongs to this photo (ExifTool shows control characters as dots and drops
        // trailing blanks).
        QString shownName = QFileInfo(photo).fileName();
        while (shownName.endsWith(QLatin1Char(' ')))
            shownName.chop(1);
        const ReportRow *fileName = findRow(out.reportRows, QStringLiteral("File Name"));
        QVERIFY(fileName);
        QCOMPARE(fileName->value.size(), shownName.size() + 1);
    }
}

void tst_Hostile::fifoPhotoWithKeptReport()
{
    // A kept report beside a FIFO that pretends to be the photo: the list is shown from the
    // report, and the thumbnail must not wait for a writer that never comes.
    QTemporaryDir dir;
    QTemporaryDir config;
    const QString made = dir.filePath(QStringLiteral("pipe.jpg"));
    QVERIFY(writeRaw(QFile::encodeName(made), m_camera));
    const QByteArray report = realReport(made);
    QVERIFY(!report.isEmpty());
    QVERIFY(QFile::remove(made));
    QVERIFY(::mkfifo(QFile::encodeName(made).constData(), 0644) == 0);
    QVERIFY(writeRaw(QFile::encodeName(dir.filePath(QStringLiteral("pipe.txt"))), report));
    auto ini = freshSettings(config);
    ini->setValue(QStringLiteral("Options/TXTcheck"), QStringLiteral("1"));
    const Tree before = snapshot(dir.path());
    FifoRescue rescue(QFile::encodeName(made), 5000);
    const Outcome out = drive(ini.get(), made, true);
    VERIFY_OUTCOME(out, Expect::Shown);
    QVERIFY2(!rescue.rescued(), "the window blocked on the FIFO");
    QCOMPARE(changes(before, snapshot(dir.path())), QString());
}

// ---------------------------------------------------------------- metadata values

void tst_Hostile::metadataValues_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("rowName");
    QTest::addColumn<QString>("shown"); // the row's value as the list shows it, trimmed

    const QString mega(1000000, QLatin1Char('x'));
    QTest::newRow("1 MB value") << "en"
                                << "XMP-dc:Description" << mega.toLatin1() << "Description" << mega;
    QTest::newRow("control characters") << "en"
                                        << "Artist"
                                        << QByteArray("a\x01"
                                                      "b\x07"
                                                      "c\x1b[2Jd\x7f"
                                                      "e")
                                        << "Artist"
                                        << "a.b.c.[2Jd.e";
    const QString rtl = QStringLiteral("Foto\u202Egpj.exe");
    QTest::newRow("right-to-left override") << "en"
                                            << "Artist" << rtl.toUtf8() << "Artist" << rtl;
    QTest::newRow("value that is a group header") << "en"
                                                  << "Comment" << QByteArray("---- IFD0 ----") << "Comment"
                                                  << "---- IFD0 ----";
    QTest::newRow("maker that is a URL") << "en"
                                         << "Make" << QByteArray("https://evil.example/x?y=1") << "Make"
                                         << "https://evil.example/x?y=1";
    // German descriptions run past ExifTool's 32-character column: "name: value".
    QTest::newRow("description longer than the column")
        << "de"
        << "Artist" << QByteArray("Jürgen") << "Datum/Uhrzeit des letzten Dateizugriffs" << QString();
}

void tst_Hostile::metadataValues()
{
    QFETCH(QString, lang);
    QFETCH(QString, tag);
    QFETCH(QByteArray, value);
    QFETCH(QString, rowName);
    QFETCH(QString, shown);

    QTemporaryDir dir;
    QTemporaryDir config;
    const QString photo = dir.filePath(QStringLiteral("tagged.jpg"));
    QVERIFY(writeRaw(QFile::encodeName(photo), m_camera));
    // Through a file: a command-line argument holds neither 1 MB nor every control character.
    const QString valueFile = config.filePath(QStringLiteral("value"));
    QVERIFY(writeRaw(QFile::encodeName(valueFile), value));
    QVERIFY(TestPhotos::writeTags(photo, {QStringLiteral("-%1<=%2").arg(tag, valueFile)}));
    auto ini = freshSettings(config);
    ini->setValue(QStringLiteral("Options/LumoskopSprache"), lang);
    const Tree before = snapshot(dir.path());
    m_openedUrls.clear();

    int topRowAfterJump = -1;
    QString cameraLabel;
    const Outcome out = drive(ini.get(), photo, true, [&](ShownWindow &f) {
        cameraLabel = f.label(5);
        QTest::mouseClick(f.window.findChild<QLabel *>("lblExif5"), Qt::LeftButton);
        f.groupButton(1)->click();
        topRowAfterJump = child<QTreeView>(f.window, "lvwExifTool")->indexAt(QPoint(2, 2)).row();
        f.clickHeader(0);
        child<QLineEdit>(f.window, "txtFilter")->setText(QStringLiteral("IFD0"));
        child<QLineEdit>(f.window, "txtFilter")->clear();
    });
    VERIFY_OUTCOME(out, Expect::Shown);
    const ReportRow *row = findRow(out.reportRows, rowName);
    QVERIFY2(row, qPrintable(rowName));
    if (!shown.isEmpty())
        QCOMPARE(row->value.trimmed(), shown);
    else
        QVERIFY(row->value.startsWith(QLatin1String(" 20")));
    // A value never passes for a group header, not in the list and not for the group jump.
    int realHeader = -1;
    for (int i = 0; i < out.reportRows.size(); ++i) {
        if (out.reportRows[i].header && out.reportRows[i].value == QLatin1String("---- IFD0 ----"))
            realHeader = i;
    }
    QVERIFY(realHeader >= 0);
    QCOMPARE(topRowAfterJump, realHeader);
    // Whatever the maker tag says, only a plain maker word becomes an address.
    for (const QUrl &url : std::as_const(m_openedUrls))
        QVERIFY2(url.host().startsWith(QLatin1String("www.")) && !url.host().contains(QLatin1String("evil")),
                 qPrintable(url.toString()));
    if (tag == QLatin1String("Make"))
        QVERIFY(m_openedUrls.isEmpty());
    QVERIFY(!cameraLabel.contains(QLatin1Char('\n')));
    QCOMPARE(changes(before, snapshot(dir.path())), QString());
}

// ---------------------------------------------------------------- broken reports

void tst_Hostile::reportChangedBetweenRunAndRead_data()
{
    QTest::addColumn<QString>("afterRun"); // shell, $r the report path
    QTest::addColumn<QString>("leftAtReport");
    QTest::newRow("deleted") << "rm -f \"$r\"" << QString();
    QTest::newRow("replaced by a folder") << "rm -f \"$r\" && mkdir \"$r\""
                                          << "folder";
    QTest::newRow("replaced by a foreign file") << "printf 'Notes\\0: mine\\n' > \"$r\""
                                                << "file";
    QTest::newRow("emptied") << ": > \"$r\""
                             << "file";
}

void tst_Hostile::reportChangedBetweenRunAndRead()
{
    QFETCH(QString, afterRun);
    QFETCH(QString, leftAtReport);
    QTemporaryDir dir;
    QTemporaryDir config;
    QTemporaryDir programFolder;
    const QString photo = dir.filePath(QStringLiteral("Bild.jpg"));
    const QString report = dir.filePath(QStringLiteral("Bild.txt"));
    QVERIFY(writeRaw(QFile::encodeName(photo), m_camera));
    const QString script = QStringLiteral("#!/bin/bash\n'%1' \"$@\"\nfor p; do :; done\nr=\"${p%.*}.txt\"\n%2\n")
                               .arg(TestPhotos::exiftool(), afterRun);
    const QString fake = programFolder.filePath(QStringLiteral("exiftool"));
    QVERIFY(writeRaw(QFile::encodeName(fake), script.toUtf8()));
    QVERIFY(QFile::setPermissions(fake, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    ProgramFolder::setOverride(programFolder.path());
    auto ini = freshSettings(config);
    const QByteArray photoBefore = bytesOf(photo);
    // A fresh ExifTool for the run, so that the script can act between the run and the read.
    const Outcome out = drive(ini.get(), photo, true, {}, false);
    ProgramFolder::setOverride(QString());
    VERIFY_OUTCOME(out, Expect::Message);
    QVERIFY2(out.boxes.first().contains(QStringLiteral("Bild.jpg")), qPrintable(out.boxes.first()));
    QCOMPARE(bytesOf(photo), photoBefore);
    // What stands at the report path now is not the window's report: it stays.
    const QFileInfo left(report);
    QCOMPARE(left.isDir(), leftAtReport == QLatin1String("folder"));
    QCOMPARE(left.isFile(), leftAtReport == QLatin1String("file"));
}

void tst_Hostile::reportWithNulBytes()
{
    QTemporaryDir dir;
    QTemporaryDir config;
    const QString photo = dir.filePath(QStringLiteral("nul.jpg"));
    QVERIFY(writeRaw(QFile::encodeName(photo), m_camera));
    QByteArray report = realReport(photo);
    QVERIFY(report.contains("Canon EOS"));
    report.replace("Canon EOS", QByteArray("Ca\0non\0EOS", 10));
    report.append(QByteArray("\0\0\0\n", 4));
    report.append(QByteArray("Na\0me : va\0lue\r\n", 16));
    report.append(QByteArray("\0", 1));
    QVERIFY(writeRaw(QFile::encodeName(dir.filePath(QStringLiteral("nul.txt"))), report));
    auto ini = freshSettings(config);
    ini->setValue(QStringLiteral("Options/TXTcheck"), QStringLiteral("1"));
    const Tree before = snapshot(dir.path());
    QString camera;
    const Outcome out = drive(ini.get(), photo, true, [&](ShownWindow &f) {
        camera = f.label(5);
        f.clickHeader(0);
        f.groupButton(5)->click();
    });
    VERIFY_OUTCOME(out, Expect::Shown);
    QCOMPARE(qsizetype(out.rows), report.count('\n') + 1);
    QVERIFY(camera.startsWith(QLatin1String("Canon Ca")));
    QCOMPARE(changes(before, snapshot(dir.path())), QString());
}

void tst_Hostile::hugeReports_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("lineBytes");
    QTest::newRow("100,000 short lines") << 100000 << 0;
    QTest::newRow("one 50 MB line") << 1 << 50 * 1024 * 1024;
}

void tst_Hostile::hugeReports()
{
    QFETCH(int, lines);
    QFETCH(int, lineBytes);
    QTemporaryDir dir;
    QTemporaryDir config;
    const QString photo = dir.filePath(QStringLiteral("huge.jpg"));
    QVERIFY(writeRaw(QFile::encodeName(photo), m_camera));
    QByteArray report = realReport(photo);
    QVERIFY(!report.isEmpty());
    const int realLines = int(report.count('\n'));
    if (lineBytes > 0) {
        report += "Comment                         : " + QByteArray(lineBytes, 'y') + '\n';
    } else {
        report.reserve(report.size() + qsizetype(lines) * 48);
        for (int i = 0; i < lines; ++i) {
            if (i % 1000 == 0)
                report += "---- Block" + QByteArray::number(i / 1000) + " ----\n";
            else
                report += "Tag " + QByteArray::number(i).rightJustified(7, '0') + "                     : value " +
                          QByteArray::number(i) + '\n';
        }
    }
    QVERIFY(writeRaw(QFile::encodeName(dir.filePath(QStringLiteral("huge.txt"))), report));
    auto ini = freshSettings(config);
    ini->setValue(QStringLiteral("Options/TXTcheck"), QStringLiteral("1"));
    const Tree before = snapshot(dir.path());
    const Outcome out = drive(ini.get(), photo, true, [&](ShownWindow &f) {
        QCoreApplication::processEvents(); // paints the list once
        f.clickHeader(0);
        QCoreApplication::processEvents();
        f.groupButton(5)->click();
        child<QLineEdit>(f.window, "txtFilter")->setText(QStringLiteral("value 99999"));
        child<QLineEdit>(f.window, "txtFilter")->clear();
    });
    VERIFY_OUTCOME(out, Expect::Shown);
    QCOMPARE(out.rows, realLines + lines);
    QCOMPARE(changes(before, snapshot(dir.path())), QString());
}

// ---------------------------------------------------------------- settings files

namespace
{
QByteArray everyKey(const QByteArray &value)
{
    QByteArray ini = "[Options]\n";
    for (const char *key :
         {"ProgrammName", "ErscheinungsJahr", "ExiftoolTop", "ExiftoolLeft", "ExiftoolHeight", "ExiftoolWidth",
          "ProgSchriftName", "ProgSchriftSize", "ExiftoolCheck", "TXTcheck", "ExiftoolSort", "LumoskopSprache",
          "optExif", "Update", "1ExiftoolHeader", "2ExiftoolHeader"})
        ini += QByteArray(key) + '=' + value + '\n';
    return ini;
}
} // namespace

void tst_Hostile::settingsFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<Expect>("expect");
    // The stored language goes to ExifTool unchanged; one it rejects gives its message.
    QTest::newRow("every key non-numeric") << everyKey("abc") << Expect::Message;
    QTest::newRow("every key negative") << everyKey("-5") << Expect::Message;
    QTest::newRow("every key huge") << everyKey("1e30") << Expect::Message;
    QTest::newRow("every key empty") << everyKey("") << Expect::Message;
    QTest::newRow("every key a list") << everyKey("1, 2, 3") << Expect::Message;
    QTest::newRow("every key NaN") << everyKey("nan") << Expect::Message;
    // A language that is ExifTool options: one argument of ExifTool's, never several.
    QTest::newRow("language with option lines")
        << QByteArray("[Options]\nLumoskopSprache=\"de\\n-all=\\n-overwrite_original\"\n") << Expect::Message;
    QTest::newRow("language that is an option") << QByteArray("[Options]\nLumoskopSprache=-@\n") << Expect::Message;
    QByteArray garbage(8192, Qt::Uninitialized);
    QRandomGenerator random(20231);
    for (char &c : garbage)
        c = char(random.bounded(256));
    QTest::newRow("binary garbage") << garbage << Expect::Shown;
    QTest::newRow("garbage after the group") << QByteArray("[Options]\n") + garbage << Expect::Shown;
    QTest::newRow("no [Options] group") << QByteArray("[Other]\nExiftoolTop=abc\nLumoskopSprache=xx\n")
                                        << Expect::Shown;
    QTest::newRow("keys without values") << QByteArray("[Options]\nExiftoolTop\n=\n==\n[\n]\n") << Expect::Shown;
}

void tst_Hostile::settingsFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(Expect, expect);
    QTemporaryDir dir;
    QTemporaryDir config;
    const QString photo = dir.filePath(QStringLiteral("Bild.jpg"));
    QVERIFY(writeRaw(QFile::encodeName(photo), m_camera));
    const QString file = config.filePath(QStringLiteral("Lumoskop.conf"));
    QVERIFY(writeRaw(QFile::encodeName(file), content));
    const Tree before = snapshot(dir.path());
    QSize shownSize;
    QString language;
    Outcome out;
    {
        QSettings ini(file, QSettings::IniFormat);
        out = drive(&ini, photo, true, [&](ShownWindow &f) {
            shownSize = f.window.size();
            language = child<QComboBox>(f.window, "cboSprache")->currentText();
        });
    }
    VERIFY_OUTCOME(out, expect);
    if (content.contains("-all="))
        QVERIFY(language.contains(QLatin1Char('\n')));
    QVERIFY2(shownSize.width() > 0 && shownSize.width() < 20000 && shownSize.height() > 0 && shownSize.height() < 20000,
             qPrintable(QStringLiteral("%1 x %2").arg(shownSize.width()).arg(shownSize.height())));
    QCOMPARE(changes(before, snapshot(dir.path())), QString());
    // What the window wrote back reads as the window's own geometry at the next start.
    QSettings again(file, QSettings::IniFormat);
    if (again.status() == QSettings::NoError) {
        for (const char *key : {"ExiftoolTop", "ExiftoolLeft", "ExiftoolHeight", "ExiftoolWidth"}) {
            const auto v = SettingsStore::toSingle(again.value(QStringLiteral("Options/") + key).toString());
            QVERIFY2(v && std::abs(*v) < 1e6, key);
        }
    }
}

void tst_Hostile::unwritableConfigFolder()
{
    // A regular file stands where the settings folder should be: every write fails, and the
    // window still works with its defaults for this run.
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    QVERIFY(writeRaw(QFile::encodeName(blocker), "not a folder\n"));
    const QString photo = dir.filePath(QStringLiteral("Bild.jpg"));
    QVERIFY(writeRaw(QFile::encodeName(photo), m_camera));
    Restore restore;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker + QStringLiteral("/config")));
    const Tree before = snapshot(dir.path());
    std::unique_ptr<QSettings> ini(SettingsStore::openUserSettings());
    QVERIFY(ini->fileName().startsWith(blocker));
    const Outcome out = drive(ini.get(), photo, true, [](ShownWindow &f) {
        child<QCheckBox>(f.window, "chkTXT")->setChecked(true);
        child<QCheckBox>(f.window, "chkTXT")->setChecked(false);
        f.groupButton(1)->click();
    });
    VERIFY_OUTCOME(out, Expect::Shown);
    QCOMPARE(changes(before, snapshot(dir.path())), QString());
}

// ---------------------------------------------------------------- commands while ExifTool works

void tst_Hostile::commandsDuringARun_data()
{
    QTest::addColumn<bool>("kept");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("finalPhoto");
    const struct {
        const char *tag;
        QStringList commands;
        const char *finalPhoto;
    } cases[] = {
        {"file button", {"take c"}, "c.jpg"},
        {"ExifTool", {"exif"}, "b.jpg"},
        {"Show", {"show"}, "b.jpg"},
        {"language", {"language"}, "b.jpg"},
        {"header click", {"header"}, "b.jpg"},
        {"sort box", {"sort on", "sort off"}, "b.jpg"},
        {"groups", {"group 1", "group 0", "group 5"}, "b.jpg"},
        {"Copy", {"copy"}, "b.jpg"},
        {"filter", {"filter"}, "b.jpg"},
        {"next photo", {"next"}, "c.jpg"},
        {"next, then Show", {"next", "show"}, "c.jpg"},
        {"everything",
         {"exif", "show", "language", "header", "sort on", "sort off", "group 1", "copy", "filter", "next", "exif"},
         "c.jpg"},
    };
    for (const bool kept : {false, true}) {
        for (const auto &c : cases)
            QTest::addRow("%s, %s", c.tag, kept ? "kept ExifTool" : "ExifTool per run")
                << kept << c.commands << QString::fromLatin1(c.finalPhoto);
    }
}

void tst_Hostile::commandsDuringARun()
{
    QFETCH(bool, kept);
    QFETCH(QStringList, commands);
    QFETCH(QString, finalPhoto);
    QTemporaryDir dir;
    QTemporaryDir config;
    for (const char *name : {"a.jpg", "b.jpg", "c.jpg"})
        QVERIFY(writeRaw(QFile::encodeName(dir.filePath(QLatin1String(name))), m_camera));
    const Tree before = snapshot(dir.path());
    ShownWindow f(config);
    FakeExifTool fake(0.4);
    bool sawRunning = false;
    ReportRows rows;
    QString photoShown;
    Outcome out;
    {
        BoxWatcher boxes(QStringLiteral("Ja"));
        f.service.setKeepRunning(kept);
        bool hung = false;
        f.load(dir.filePath(QStringLiteral("a.jpg")));
        QTRY_VERIFY_WITH_TIMEOUT(fake.started(), kWatchdogMs);
        {
            sawRunning = f.service.isBusy();
            // The user picks photo b, then presses the commands while a's run goes on.
            f.browser.open(dir.filePath(QStringLiteral("b.jpg")));
            for (const QString &c : std::as_const(commands)) {
                if (c == QLatin1String("take c")) {
                    f.browser.open(dir.filePath(QStringLiteral("c.jpg")));
                } else if (c == QLatin1String("exif")) {
                    f.trigger("actExifTool");
                } else if (c == QLatin1String("show")) {
                    f.trigger("actShow");
                } else if (c == QLatin1String("language")) {
                    f.pickLanguage(QStringLiteral("de"));
                } else if (c == QLatin1String("header")) {
                    f.clickHeader(1);
                } else if (c == QLatin1String("sort on")) {
                    child<QCheckBox>(f.window, "chkSort")->setChecked(true);
                } else if (c == QLatin1String("sort off")) {
                    child<QCheckBox>(f.window, "chkSort")->setChecked(false);
                } else if (c.startsWith(QLatin1String("group "))) {
                    f.groupButton(c.mid(6).toInt())->click();
                } else if (c == QLatin1String("copy")) {
                    f.trigger("actCopy");
                } else if (c == QLatin1String("filter")) {
                    child<QLineEdit>(f.window, "txtFilter")->setText(QStringLiteral("Make"));
                } else if (c == QLatin1String("next")) {
                    f.trigger("mnuNext");
                }
            }
        }
        hung = !f.settle(kWatchdogMs);
        QVERIFY(!hung);
        rows = f.model()->reportRows();
        photoShown = f.path();
        f.window.close();
        out.boxes = boxes.texts;
    }
    QVERIFY(sawRunning);
    QVERIFY(!fake.overlapped());
    QCOMPARE(QFileInfo(photoShown).fileName(), finalPhoto);
    QVERIFY2(showsFile(rows, finalPhoto), "the list belongs to the last photo chosen");
    // A kept ExifTool gets its photos on its standard input, not on the command line.
    if (!kept)
        QVERIFY(fake.calls().last().endsWith(finalPhoto));
    // Only Copy asks a question; no failure is reported.
    for (const QString &text : std::as_const(out.boxes))
        QVERIFY2(text.startsWith(QLatin1String("Ja: Copy all")), qPrintable(text));
    const QString changed = changes(before, snapshot(dir.path()));
    QVERIFY2(changed.isEmpty(), qPrintable(changed)); // no report left behind, no photo touched
}

void tst_Hostile::closingDuringARun_data()
{
    QTest::addColumn<bool>("kept");
    QTest::newRow("ExifTool per run") << false;
    QTest::newRow("kept ExifTool") << true;
}

void tst_Hostile::closingDuringARun()
{
    QFETCH(bool, kept);
    // While photo a's run goes on, the user picks b (whose name a note of the user's shares)
    // and closes the window: the run ends at once and no file of the user's goes.
    QTemporaryDir dir;
    QTemporaryDir config;
    QTemporaryDir programFolder;
    QVERIFY(writeRaw(QFile::encodeName(dir.filePath(QStringLiteral("a.jpg"))), m_camera));
    QVERIFY(writeRaw(QFile::encodeName(dir.filePath(QStringLiteral("b.jpg"))), m_camera));
    QVERIFY(writeRaw(QFile::encodeName(dir.filePath(QStringLiteral("b.txt"))), "Notizen zu b\n"));
    const QString pidFile = programFolder.filePath(QStringLiteral("pid"));
    // Every start appends: with the kept ExifTool, a one-shot run may start beside it.
    const QString script = QStringLiteral("#!/bin/bash\necho $$ >> '%1'\nsleep 5\nexec '%2' \"$@\"\n")
                               .arg(pidFile, TestPhotos::exiftool());
    const QString fake = programFolder.filePath(QStringLiteral("exiftool"));
    QVERIFY(writeRaw(QFile::encodeName(fake), script.toUtf8()));
    QVERIFY(QFile::setPermissions(fake, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    ProgramFolder::setOverride(programFolder.path());
    ShownWindow f(config);
    const Tree before = snapshot(dir.path());
    bool wasRunning = false;
    {
        BoxWatcher boxes; // the notice that names b.txt
        f.service.setKeepRunning(kept);
        f.load(dir.filePath(QStringLiteral("a.jpg")));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(pidFile) && !bytesOf(pidFile).isEmpty(), kWatchdogMs); // a's ExifTool has started
        wasRunning = f.service.isBusy();
        f.browser.open(dir.filePath(QStringLiteral("b.jpg")));
        f.window.close();
        QVERIFY(!f.service.isBusy());
    }
    ProgramFolder::setOverride(QString());
    QVERIFY(wasRunning);
    const QList<QByteArray> pids = bytesOf(pidFile).trimmed().split('\n');
    // Nothing of those runs' process groups is left, not even the sleep inside the script.
    for (const QByteArray &pid : pids) {
        QVERIFY2(pid.toLongLong() > 0, bytesOf(pidFile).constData());
        QTRY_VERIFY_WITH_TIMEOUT(!Processes::groupAlive(pid.toLongLong()), kWatchdogMs);
    }
    QCOMPARE(changes(before, snapshot(dir.path())), QString());
}

QTEST_MAIN(tst_Hostile)
#include "tst_hostile.moc"
