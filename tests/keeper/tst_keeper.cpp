#include "Files.h"
#include "Processes.h"
#include "TestPhotos.h"

#include "early/ProgramStart.h"
#include "exiftool/EarlyHandover.h"
#include "exiftool/KeeperPlace.h"
#include "exiftool/ProgramFolder.h"
#include "pipeline/ExifToolService.h"
#include "start/FirstRequest.h"
#include "start/SettingsStore.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

// The user's ExifTool keeper, the real program (build/lumoskop-keeper), each test in a runtime
// folder of its own: the program's requests come out the same whether the keeper answers or
// not, it ends when it should and takes its ExifTool along, and it answers nobody else.
namespace
{

const QString KeeperProgram = QStringLiteral(LUMOSKOP_BINARY_DIR "/lumoskop-keeper");

// ExifTool as the program runs it, logging every start (process id and arguments) beside
// itself, so a test sees whether the program's own ExifTool ran on the photo.
// Arguments it reads from its standard input ("-@ -", as the program's file starts it) are logged
// once they have come. The real ExifTool is the one in the system's folders, even where a test
// put this one first on PATH.
const QByteArray LoggingExifTool = R"SH(PATH=/usr/bin:/bin
if [ "$*" = "-@ -" ]; then
  arguments=$(cat); echo "$$ -@ - $(printf '%s' "$arguments" | tr '\n' ' ')" >> "$(dirname "$0")/runs"
  printf '%s\n' "$arguments" | exiftool -@ -; exit
fi
echo "$$ $*" >> "$(dirname "$0")/runs"
exec exiftool "$@"
)SH";

// A kept ExifTool that prints its photo's name; for a photo whose name says "slow", it writes
// the file "slow" and waits for the file "go" first.
const QByteArray SlowExifTool = R"SH(while IFS= read -r line; do
  case $line in
    -execute*) n=${line#-execute}
      case $photo in *slow*) : > "$(dirname "$0")/slow"; while [ ! -f "$(dirname "$0")/go" ]; do sleep 0.05; done ;; esac
      echo "printed $photo"; echo "{status$n 0}" >&2; echo "{ready$n}" ;;
    "/"*) photo=$line ;;
  esac
done
)SH";

QByteArray u32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray field(const QByteArray &bytes)
{
    return u32(quint32(bytes.size())) + bytes;
}

// A request as the wire carries it, without the length in front.
QByteArray requestBody(char version = 1, char kind = 1, quint32 warm = 60, const QByteArray &language = "de")
{
    return "LKQ" + QByteArray(1, version) + field("1.0") + field("/keeper") + QByteArray(16, '\0') +
           field("/usr/bin/exiftool") + u32(warm) + QByteArray(1, kind) + field("/p.jpg") + field(language);
}

// The report without the line that changes whenever anything reads the photo.
QByteArray stable(const QByteArray &report)
{
    QList<QByteArray> lines = report.split('\n');
    lines.removeIf([](const QByteArray &line) { return line.startsWith("File Access Date/Time"); });
    return lines.join('\n');
}

// Stands where the keeper would, holding its lock, and fails in one way.
class FakeKeeper : public QObject
{
public:
    enum Fault { Hang, Close, Nonsense, Refuse, NotMe };
    FakeKeeper(const QString &folder, Fault fault) : m_lock(KeeperPlace::takeLock(folder))
    {
        m_server.listen(KeeperPlace::socketPath(folder));
        connect(&m_server, &QLocalServer::newConnection, this, [this, fault] {
            QLocalSocket *socket = m_server.nextPendingConnection();
            connect(socket, &QLocalSocket::readyRead, socket, [socket, fault] {
                socket->readAll();
                if (fault == Close)
                    socket->abort();
                else if (fault == Nonsense)
                    socket->write("nonsense\n");
                else if (fault != Hang)
                    socket->write(KeeperMessage::answer(
                        {fault == Refuse ? KeeperAnswer::Kind::Refused : KeeperAnswer::Kind::NotMe, false, QString(),
                         QByteArray()}));
            });
        });
    }
    ~FakeKeeper() override { ::close(m_lock); }

private:
    int m_lock;
    QLocalServer m_server;
};

struct Reply {
    bool closed = false; // the keeper closed the connection
    std::optional<KeeperAnswer> answer;
};

// Sends bytes on a connection of their own and reads what comes back.
Reply exchange(const QString &socketPath, const QByteArray &bytes)
{
    Reply reply;
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(5000))
        return reply;
    socket.write(bytes);
    QByteArray buffer, frame;
    while (socket.waitForReadyRead(30000)) {
        buffer += socket.readAll();
        if (KeeperMessage::takeFrame(buffer, KeeperMessage::MaxAnswer, frame) == KeeperMessage::Take::Frame) {
            reply.answer = KeeperMessage::readAnswer(frame);
            return reply;
        }
    }
    reply.closed = socket.state() == QLocalSocket::UnconnectedState;
    return reply;
}

// The process listening on the socket; 0 when none does.
qint64 listener(const QString &socketPath)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    return socket.waitForConnected(5000) ? KeeperPlace::peerOf(socket.socketDescriptor()).pid : 0;
}

// Alive, and not merely waiting to be reaped.
bool alive(qint64 pid)
{
    const QByteArray stat = Files::read(QStringLiteral("/proc/%1/stat").arg(pid));
    return !stat.isEmpty() && stat.mid(stat.lastIndexOf(')') + 2, 1) != "Z";
}

} // namespace

class tst_Keeper : public QObject
{
    Q_OBJECT

    QTemporaryDir m_photos;
    QString m_photo;
    QString m_exiftool; // LoggingExifTool
    std::unique_ptr<QTemporaryDir> m_runtime;
    QString m_folder;
    QProcess m_keeper;

    QString socketPath() const { return KeeperPlace::socketPath(m_folder); }
    int runsOnPhoto() const { return Files::read(m_photos.filePath("runs")).count(m_photo.toUtf8()); }
    QByteArray request(const ExifToolAsk &ask, const QString &exiftool) const
    {
        return KeeperMessage::request({KeeperPlace::identity(KeeperProgram, exiftool), 60, ask});
    }
    Reply ask(const ExifToolAsk &ask, const QString &exiftool) const
    {
        return exchange(socketPath(), request(ask, exiftool));
    }
    void startKeeper(const QString &exiftool, int warmSeconds = 600)
    {
        m_keeper.start(KeeperProgram, {"--exiftool", exiftool, "--warm", QString::number(warmSeconds)});
        // One that stays only a second may be gone before anyone looks.
        if (warmSeconds > 1)
            QTRY_VERIFY_WITH_TIMEOUT(listener(socketPath()) == m_keeper.processId(), 30000);
    }
    // The process id of the kept ExifTool that m_exiftool logged; 0 before it started.
    qint64 keptExifTool() const
    {
        for (const QByteArray &line : Files::read(m_photos.filePath("runs")).split('\n'))
            if (line.endsWith(" -stay_open True -@ -"))
                return line.left(line.indexOf(' ')).toLongLong();
        return 0;
    }

    // What the launcher starts for the photo, with the test's ExifTool and the keeper beside
    // it, as an installed program has them.
    EarlyHandover launcherRequest(int warmSeconds, StartedAhead ahead = {})
    {
        const QString keeper = m_photos.filePath("lumoskop-keeper");
        if (!QFileInfo::exists(keeper))
            QFile::link(KeeperProgram, keeper);
        QSettings ini(m_runtime->filePath("Lumoskop.conf"), QSettings::IniFormat);
        ini.setValue("Options/ExifToolWarmSeconds", warmSeconds);
        ini.setValue("Options/LumoskopSprache", "en");
        ProgramFolder::setOverride(m_photos.path());
        EarlyHandover handed = FirstRequest::start(m_photo, SettingsStore(ini), std::move(ahead));
        ProgramFolder::setOverride(QString());
        return handed;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(!TestPhotos::exiftool().isEmpty());
        m_photo = m_photos.filePath("photo.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(m_photo));
        m_exiftool = m_photos.filePath("exiftool");
        QVERIFY(Files::writeScript(m_exiftool, LoggingExifTool));
    }

    void init()
    {
        m_runtime = std::make_unique<QTemporaryDir>();
        qputenv("XDG_RUNTIME_DIR", m_runtime->path().toUtf8());
        m_folder = KeeperPlace::folder();
    }

    void cleanup()
    {
        // Whatever keeper a test started ends with it, also one the program started detached.
        for (qint64 pid; (pid = listener(socketPath())) > 0 && pid != QCoreApplication::applicationPid();)
            ::kill(pid_t(pid), SIGKILL);
        QFile::remove(m_photos.filePath("runs"));
        m_keeper.kill();
        m_keeper.waitForFinished();
        qunsetenv("XDG_RUNTIME_DIR");
    }

    void readsOnlyWholeWellFormedRequests_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("foreign");
        const QByteArray whole = requestBody();
        QTest::newRow("well formed") << whole << true << false;
        QTest::newRow("empty") << QByteArray() << false << false;
        QTest::newRow("cut short") << whole.chopped(1) << false << false;
        QTest::newRow("a byte too many") << whole + 'x' << false << false;
        QTest::newRow("another tag") << "LKA" + whole.mid(3) << false << false;
        QTest::newRow("another version") << requestBody(2) << false << true;
        QTest::newRow("asks nothing") << requestBody(1, 0) << false << false;
        QTest::newRow("asks what is unknown") << requestBody(1, 5) << false << false;
        QTest::newRow("warm beyond a day") << requestBody(1, 1, 86401) << false << false;
        QTest::newRow("text that is not UTF-8") << requestBody(1, 1, 60, "j\xe1") << false << false;
        QTest::newRow("field beyond the frame") << whole.left(4) + u32(0xfffffff0) + whole.mid(8) << false << false;
    }
    void readsOnlyWholeWellFormedRequests()
    {
        QFETCH(QByteArray, frame);
        QFETCH(bool, valid);
        const auto request = KeeperMessage::readRequest(frame);
        QCOMPARE(request.has_value(), valid);
        QTEST(KeeperMessage::isForeignRequest(frame), "foreign");
        if (valid)
            QCOMPARE(KeeperMessage::request(*request), u32(quint32(frame.size())) + frame);
        // A frame is refused from its length alone.
        QByteArray buffer = u32(KeeperMessage::MaxRequest + 1), taken;
        QCOMPARE(KeeperMessage::takeFrame(buffer, KeeperMessage::MaxRequest, taken), KeeperMessage::Take::Invalid);
    }

    // Whatever the keeper does, the program gets the report its own ExifTool prints.
    void faultsCostNothingButSpeed_data()
    {
        QTest::addColumn<int>("fault"); // FakeKeeper::Fault; -1: none in the way; -2: a warm keeper
        QTest::addColumn<bool>("staleSocket");
        QTest::addColumn<int>("warmSeconds");
        QTest::addColumn<bool>("keeperServes");    // the second request (or both) comes from the keeper
        // Who makes the first request: the window's service from the event loop (""), before it
        // ("window"), the launcher ("launcher"), or that from what the program's file started
        // ahead ("ahead"; "ahead elsewhere": another ExifTool than the window's).
        QTest::addColumn<QString>("start");
        QTest::newRow("no keeper yet") << -1 << false << 60 << true << "";
        QTest::newRow("a dead keeper's socket") << -1 << true << 60 << true << "";
        QTest::newRow("turned off") << -1 << false << 0 << false << "";
        QTest::newRow("hung") << int(FakeKeeper::Hang) << false << 60 << false << "";
        QTest::newRow("killed while answering") << int(FakeKeeper::Close) << false << 60 << false << "";
        QTest::newRow("nonsense") << int(FakeKeeper::Nonsense) << false << 60 << false << "";
        QTest::newRow("refusing") << int(FakeKeeper::Refuse) << false << 60 << false << "";
        QTest::newRow("another build's") << int(FakeKeeper::NotMe) << false << 60 << false << "";
        QTest::newRow("start: a warm keeper") << -2 << false << 60 << true << "window";
        QTest::newRow("start: no keeper yet") << -1 << false << 60 << true << "window";
        QTest::newRow("start: a dead keeper's socket") << -1 << true << 60 << true << "window";
        QTest::newRow("start: hung") << int(FakeKeeper::Hang) << false << 60 << false << "window";
        QTest::newRow("start: nonsense") << int(FakeKeeper::Nonsense) << false << 60 << false << "window";
        QTest::newRow("launcher: a warm keeper") << -2 << false << 60 << true << "launcher";
        QTest::newRow("launcher: no keeper yet") << -1 << false << 60 << true << "launcher";
        QTest::newRow("ahead: a warm keeper") << -2 << false << 60 << true << "ahead";
        QTest::newRow("ahead: no keeper yet") << -1 << false << 60 << true << "ahead";
        QTest::newRow("ahead: another ExifTool") << -1 << false << 60 << true << "ahead elsewhere";
    }
    void faultsCostNothingButSpeed()
    {
        QFETCH(int, fault);
        QFETCH(bool, keeperServes);
        QFETCH(int, warmSeconds);
        QFETCH(bool, staleSocket);
        QFETCH(QString, start);
        QVERIFY(KeeperPlace::prepare(m_folder));
        std::unique_ptr<FakeKeeper> fake(fault < 0 ? nullptr : new FakeKeeper(m_folder, FakeKeeper::Fault(fault)));
        if (fault == -2)
            startKeeper(m_exiftool);
        if (staleSocket) { // a keeper that crashed
            startKeeper(m_exiftool);
            m_keeper.kill();
            QVERIFY(m_keeper.waitForFinished() && QFileInfo::exists(socketPath()));
        }
        const ExifToolAsk ask{ExifToolAsk::Kind::Report, m_photo, "en"};
        const QByteArray expected = stable(Processes::run(TestPhotos::exiftool(), ExifToolCommand::forAsk(ask)));
        ExifToolService service;
        service.setProgram(m_exiftool);
        service.setKeepRunning(false);
        // Only a hung keeper is given up by the time limit; every other fault is noticed at once,
        // well before a limit longer than the test waits.
        service.setTimeLimit(fault == FakeKeeper::Hang ? 1000 : 60000);
        service.useKeeper(warmSeconds, KeeperProgram);
        EarlyHandover launched;
        QSignalSpy finished(&service, &ExifToolService::finished);
        for (int round = 0; round < 2; ++round) {
            if (round == 1 && keeperServes)
                QTRY_VERIFY_WITH_TIMEOUT(listener(socketPath()) > 0, 30000);
            const int runsBefore = runsOnPhoto();
            if (round == 0 && start == "launcher")
                launched = launcherRequest(warmSeconds);
            if (round == 0 && start.startsWith("ahead")) {
                // As the program's file finds ExifTool: on PATH, where the test's comes first.
                const QByteArray path = qgetenv("PATH");
                if (start == "ahead")
                    qputenv("PATH", QFile::encodeName(m_photos.path()) + ':' + path);
                QByteArray program = "lumoskop", photo = QFile::encodeName(m_photo);
                char *argv[] = {program.data(), photo.data(), nullptr};
                StartedAhead ahead = startAhead(2, argv);
                qputenv("PATH", path);
                QCOMPARE(ahead.keeperFd >= 0, fault == -2);
                const long aheadPid = ahead.exiftoolRun.pid;
                QCOMPARE(aheadPid > 0, fault != -2);
                launched = launcherRequest(warmSeconds, std::move(ahead));
                // Fed its arguments where it is the window's ExifTool; ended otherwise.
                if (aheadPid > 0)
                    QCOMPARE(launched.run.pid == aheadPid, start == "ahead");
                if (start == "ahead elsewhere")
                    QVERIFY(!alive(aheadPid));
            }
            service.request(ExifToolJob::asking(ask));
            if (round == 0 && !start.isEmpty())
                service.startBeforeEventLoop(start == "window" ? nullptr : &launched);
            QTRY_COMPARE_WITH_TIMEOUT(finished.size(), round + 1, 30000);
            const auto outcome = finished.at(round).at(1).value<ExifToolOutcome>();
            QVERIFY(outcome.started && !outcome.aborted);
            QCOMPARE(outcome.exitCode, 0);
            QCOMPARE(stable(outcome.output), expected);
            QCOMPARE(runsOnPhoto() == runsBefore, keeperServes && (round == 1 || fault == -2));
        }
        if (warmSeconds == 0)
            QVERIFY(!QFileInfo::exists(m_folder + "/keeper"));
    }

    // Requests that find no keeper listening while the one started for them is still on its
    // way start no second one: it would only find the first one's lock and end.
    void startsOneKeeperWhileItIsOnItsWay()
    {
        // A keeper that never gets as far as listening while the test looks.
        const QString slowKeeper = m_photos.filePath("slow-keeper");
        QVERIFY(Files::writeScript(slowKeeper, "while :; do sleep 1; done\n"));
        const auto running = [&slowKeeper] {
            QList<qint64> found;
            for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs))
                if (pid.toLongLong() > 0 && Files::read("/proc/" + pid + "/cmdline").contains(slowKeeper.toUtf8()))
                    found << pid.toLongLong();
            return found;
        };
        ExifToolService service;
        service.setProgram(m_exiftool);
        service.setKeepRunning(false);
        service.useKeeper(60, slowKeeper);
        QSignalSpy finished(&service, &ExifToolService::finished);
        const ExifToolAsk ask{ExifToolAsk::Kind::Report, m_photo, "en"};
        for (int i = 0; i < 3; ++i)
            service.request(ExifToolJob::asking(ask));
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 3, 30000);
        // Each start returns once the keeper runs: nothing more can come after the answers.
        const QList<qint64> started = running();
        for (qint64 pid : started)
            ::kill(pid_t(pid), SIGKILL);
        QCOMPARE(started.size(), 1);
    }

    // It ends by itself (idle, at the session's end, when its place is gone, or to make way for
    // another build's keeper), with its ExifTool and its socket.
    void endsAndTakesItsExifToolAlong_data()
    {
        QTest::addColumn<QString>("end");
        QTest::newRow("idle") << "idle";
        QTest::newRow("SIGTERM") << "SIGTERM";
        QTest::newRow("SIGHUP") << "SIGHUP";
        QTest::newRow("runtime folder gone") << "folder";
        QTest::newRow("socket gone") << "socket";
        QTest::newRow("another build asks") << "another build";
    }
    void endsAndTakesItsExifToolAlong()
    {
        QFETCH(QString, end);
        startKeeper(m_exiftool, end == "idle" ? 1 : 600);
        QTRY_VERIFY_WITH_TIMEOUT(keptExifTool() > 0, 30000);
        const qint64 exiftool = keptExifTool();
        if (end.startsWith("SIG"))
            ::kill(pid_t(m_keeper.processId()), end == "SIGTERM" ? SIGTERM : SIGHUP);
        else if (end == "folder")
            QVERIFY(QDir(m_folder).removeRecursively());
        else if (end == "socket")
            QVERIFY(QFile::remove(socketPath()));
        else if (end == "another build") {
            const Reply reply = ask({ExifToolAsk::Kind::Position, m_photo, ""}, "/exiftool");
            QVERIFY(reply.answer && reply.answer->kind == KeeperAnswer::Kind::NotMe && reply.answer->givingWay);
        }
        QVERIFY(m_keeper.waitForFinished(30000));
        QCOMPARE(m_keeper.exitStatus(), QProcess::NormalExit);
        QVERIFY(!alive(exiftool));
        QVERIFY(!QFileInfo::exists(socketPath()));
    }

    // Another user reaches the socket only through a folder opened up by mistake; even then
    // the keeper closes the connection unanswered.
    void answersOnlyItsOwnUser_data()
    {
        QTest::addColumn<uid_t>("uid");
        QTest::addColumn<char>("expected"); // 'a' answered, 'c' closed unanswered
        QTest::newRow("this user") << ::geteuid() << 'a';
        QTest::newRow("nobody") << uid_t(65534) << 'c';
    }
    void answersOnlyItsOwnUser()
    {
        QFETCH(uid_t, uid);
        if (uid != ::geteuid() && ::geteuid() != 0)
            QSKIP("Only root can be another user.");
        startKeeper(TestPhotos::exiftool());
        QVERIFY(::chmod(QFile::encodeName(m_runtime->path()).constData(), 0711) == 0);
        QVERIFY(::chmod(QFile::encodeName(m_folder).constData(), 0711) == 0);
        QVERIFY(::chmod(QFile::encodeName(socketPath()).constData(), 0666) == 0);
        const QByteArray bytes = request({ExifToolAsk::Kind::Report, m_photo, "en"}, TestPhotos::exiftool());
        sockaddr_un address = {AF_UNIX, {}};
        qstrncpy(address.sun_path, QFile::encodeName(socketPath()).constData(), sizeof address.sun_path);
        // The child's verdict comes back through a pipe: Qt's own child handling may reap it.
        int verdict[2];
        QCOMPARE(::pipe(verdict), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            const timeval patience = {30, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
            char result = 'x'; // could not connect
            if ((uid == ::geteuid() || (::setgid(65534) == 0 && ::setuid(uid) == 0)) &&
                ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0) {
                // The keeper may close the connection before the request is even sent.
                char byte;
                const ssize_t got = ::send(fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) == bytes.size()
                                        ? ::read(fd, &byte, 1)
                                        : 0;
                result = got > 0 ? 'a' : got == 0 || errno == ECONNRESET ? 'c' : 't';
            }
            [[maybe_unused]] const ssize_t written = ::write(verdict[1], &result, 1);
            ::_exit(0);
        }
        ::close(verdict[1]);
        char result = '-';
        QCOMPARE(::read(verdict[0], &result, 1), 1);
        ::close(verdict[0]);
        ::waitpid(child, nullptr, 0);
        QTEST(result, "expected");
    }

    // Nonsense closes the connection it came on; the keeper goes on serving.
    void garbageLeavesTheKeeperServing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray asked = request({ExifToolAsk::Kind::Position, "/none.jpg", QString()}, TestPhotos::exiftool());
        QTest::newRow("a web request") << QByteArray("GET / HTTP/1.1\r\nHost: keeper\r\n\r\n");
        QTest::newRow("too long") << u32(0xffffffff) + QByteArray(64, 'x');
        QTest::newRow("framed nonsense") << u32(9) + QByteArray("nonsense!");
        QTest::newRow("two requests at once") << asked + asked;
    }
    void garbageLeavesTheKeeperServing()
    {
        QFETCH(QByteArray, bytes);
        startKeeper(TestPhotos::exiftool());
        const Reply garbage = exchange(socketPath(), bytes);
        QVERIFY(garbage.closed && !garbage.answer);
        const Reply next = ask({ExifToolAsk::Kind::Report, m_photo, "en"}, TestPhotos::exiftool());
        QVERIFY(next.answer && next.answer->output.contains("Canon EOS 5D Mark IV"));
    }

    // What the keeper will not run itself goes back to the program, which decides; above all,
    // nothing makes its ExifTool write a file.
    void refusesWhatItWouldNotRunItself_data()
    {
        QTest::addColumn<QString>("photo");
        QTest::addColumn<QString>("language");
        // The photo itself, from the keeper's folder ("/"), not the program's.
        QTest::newRow("a relative path") << m_photo.mid(1) << "en";
        QTest::newRow("a line break in the name") << m_photo + "\n-w!\ntxt"
                                                  << "en";
        QTest::newRow("an option for a language") << m_photo << "-csv";
    }
    void refusesWhatItWouldNotRunItself()
    {
        QFETCH(QString, photo);
        QFETCH(QString, language);
        startKeeper(TestPhotos::exiftool());
        const QStringList before = QDir(m_photos.path()).entryList(QDir::Files);
        const Reply reply = ask({ExifToolAsk::Kind::Report, photo, language}, TestPhotos::exiftool());
        QVERIFY(reply.answer);
        QCOMPARE(reply.answer->kind, KeeperAnswer::Kind::Refused);
        QCOMPARE(QDir(m_photos.path()).entryList(QDir::Files), before);
    }

    // An upgrade replaces exiftool on disk: the next request is answered by the new one.
    // While the keeper serves, the program keeps no ExifTool of its own; where the keeper is
    // of no use, it does, as it would without one.
    void aServingKeeperIsTheOnlyExifToolKept_data()
    {
        QTest::addColumn<bool>("keeperRuns");
        QTest::newRow("keeper serving") << true;
        QTest::newRow("no runtime folder") << false;
    }
    void aServingKeeperIsTheOnlyExifToolKept()
    {
        QFETCH(bool, keeperRuns);
        if (keeperRuns)
            startKeeper(m_exiftool);
        else
            qunsetenv("XDG_RUNTIME_DIR");
        ExifToolService service;
        service.setProgram(m_exiftool);
        service.useKeeper(60, KeeperProgram);
        service.warmUp();
        QSignalSpy finished(&service, &ExifToolService::finished);
        for (int round = 1; round <= 2; ++round) {
            service.request(ExifToolJob::asking({ExifToolAsk::Kind::Report, m_photo, "en"}));
            QTRY_COMPARE_WITH_TIMEOUT(finished.size(), round, 30000);
        }
        const auto ownKept = [this] {
            for (const QByteArray &line : Files::read(m_photos.filePath("runs")).split('\n')) {
                const QByteArray stat =
                    Files::read(QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(line.left(line.indexOf(' ')))));
                if (line.endsWith(" -stay_open True -@ -") &&
                    stat.mid(stat.lastIndexOf(')') + 2).split(' ').value(1).toLongLong() ==
                        QCoreApplication::applicationPid())
                    return true;
            }
            return false;
        };
        if (!keeperRuns)
            QTRY_VERIFY_WITH_TIMEOUT(ownKept(), 30000);
        QCOMPARE(ownKept(), !keeperRuns);
    }

    void startsExifToolAfreshWhenItChanges()
    {
        startKeeper(m_exiftool);
        const Reply before = ask({ExifToolAsk::Kind::Report, m_photo, "en"}, m_exiftool);
        QVERIFY(before.answer && before.answer->kind == KeeperAnswer::Kind::Printed);
        QVERIFY(Files::writeScript(m_exiftool, "# upgraded\n" + LoggingExifTool));
        const Reply after = ask({ExifToolAsk::Kind::Report, m_photo, "en"}, m_exiftool);
        QVERIFY(after.answer && after.answer->kind == KeeperAnswer::Kind::Printed);
        QCOMPARE(Files::read(m_photos.filePath("runs")).count("-stay_open True"), 2);
    }

    // One window's slow photo holds another's back only for a while: then the other is refused
    // and asks its own ExifTool.
    void aSlowPhotoHoldsNobodyBack()
    {
        QTemporaryDir fakes;
        const QString slow = fakes.filePath("exiftool");
        QVERIFY(Files::writeScript(slow, SlowExifTool));
        startKeeper(slow);
        QLocalSocket first;
        first.connectToServer(socketPath());
        QVERIFY(first.waitForConnected(5000));
        first.write(request({ExifToolAsk::Kind::Position, "/slow.jpg", QString()}, slow));
        QVERIFY(first.waitForBytesWritten(5000));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(fakes.filePath("slow")), 30000);
        const Reply other = ask({ExifToolAsk::Kind::Position, "/quick.jpg", QString()}, slow);
        QVERIFY(other.answer && other.answer->kind == KeeperAnswer::Kind::Refused);
        QVERIFY(Files::write(fakes.filePath("go"), "go"));
        QVERIFY(first.waitForReadyRead(30000));
        const Reply afterwards = ask({ExifToolAsk::Kind::Position, "/quick.jpg", QString()}, slow);
        QVERIFY(afterwards.answer && afterwards.answer->output == "printed /quick.jpg\n");
    }
};

QTEST_GUILESS_MAIN(tst_Keeper)
#include "tst_keeper.moc"
