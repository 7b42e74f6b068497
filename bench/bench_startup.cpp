// Time from program start to a filled list, against ExifTool's own time for the same report,
// twice: a cold start (no ExifTool keeper running for the user) and a second start (the keeper
// that the first start left behind is warm). The program is bench_startup_child: the program's
// own start path (startLumoskop(), as main() does, loading the modules beside it) on the
// offscreen platform with settings of its own, closing the window as soon as the list is
// filled. The child process is timed from its start to the filled list. Every round has a
// runtime folder of its own, so no keeper of the user's is ever met. Prints figures only; it
// asserts nothing about time.
//
//   build/bench_startup [rounds, default 5] [photo; default: a drawn 3000x2000 camera photo]

#include "Median.h"
#include "exiftool/KeeperPlace.h"
#include "exiftool/ReportPath.h"

#include <QColor>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <sched.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{

bool makePhoto(const QString &path)
{
    QImage image(3000, 2000, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 2000);
    sky.setColorAt(0, QColor(40, 90, 160));
    sky.setColorAt(1, QColor(230, 210, 170));
    painter.fillRect(image.rect(), sky);
    painter.setBrush(QColor(240, 200, 60));
    painter.drawEllipse(1800, 300, 500, 500);
    painter.end();
    if (!image.save(path, "JPEG", 90))
        return false;
    QProcess tagger;
    tagger.start(QStandardPaths::findExecutable(QStringLiteral("exiftool")),
                 {QStringLiteral("-q"), QStringLiteral("-overwrite_original"), QStringLiteral("-Make=Canon"),
                  QStringLiteral("-Model=Canon EOS 5D Mark IV"), QStringLiteral("-LensModel=EF24-105mm f/4L IS USM"),
                  QStringLiteral("-FocalLength=24"), QStringLiteral("-FocalLengthIn35mmFormat=36"),
                  QStringLiteral("-ExposureTime=1/250"), QStringLiteral("-FNumber=8"), QStringLiteral("-ISO=200"),
                  QStringLiteral("-ExposureCompensation=-0.7"), QStringLiteral("-ExposureProgram#=3"),
                  QStringLiteral("-MeteringMode#=5"), QStringLiteral("-WhiteBalance#=0"),
                  QStringLiteral("-Artist=Jürgen Müller"), path});
    return tagger.waitForFinished(60000) && tagger.exitCode() == 0;
}

// Milliseconds from the start of the process to its first line "filled" (or to its end when it
// prints none); negative when it failed.
double timeProcess(const QString &program, const QStringList &arguments, QByteArray *output = nullptr,
                   const QString &runtimeFolder = QString())
{
    QProcess process;
    if (!runtimeFolder.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder);
        process.setProcessEnvironment(environment);
    }
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    QByteArray seen;
    double filledMs = -1;
    while (filledMs < 0 && process.waitForReadyRead(120000)) {
        seen += process.readAllStandardOutput();
        if (seen.startsWith("filled\n"))
            filledMs = clock.nsecsElapsed() / 1e6;
    }
    if ((process.state() != QProcess::NotRunning && !process.waitForFinished(120000)) ||
        process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "%s", process.readAllStandardError().constData());
        return -1;
    }
    const double ms = filledMs >= 0 ? filledMs : clock.nsecsElapsed() / 1e6;
    seen += process.readAllStandardOutput();
    if (seen.startsWith("filled\n"))
        seen.remove(0, 7);
    if (output)
        *output = seen.trimmed();
    return ms;
}

// The keeper listening in runtimeFolder's keeper folder; its process id, or -1.
qint64 keeperIn(const QString &runtimeFolder)
{
    const int fd = KeeperPlace::connectNow(runtimeFolder + QStringLiteral("/lumoskop"));
    if (fd < 0)
        return -1;
    const qint64 pid = KeeperPlace::peerOf(fd).pid;
    ::close(fd);
    return pid;
}

QList<qint64> childrenOf(qint64 pid)
{
    QList<qint64> children;
    QFile file(QStringLiteral("/proc/%1/task/%1/children").arg(pid));
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray &child : file.readAll().simplified().split(' '))
            if (child.toLongLong() > 0)
                children << child.toLongLong();
    }
    return children;
}

// Ends the keeper a round left behind, and waits until it and its ExifTool are gone.
void endKeeper(const QString &runtimeFolder)
{
    // It is started once the first photo is shown, so it may still be on its way.
    QDeadlineTimer started(5000);
    qint64 pid = keeperIn(runtimeFolder);
    for (; pid <= 0 && !started.hasExpired(); pid = keeperIn(runtimeFolder))
        QThread::msleep(10);
    if (pid <= 0)
        return;
    const QList<qint64> processes = childrenOf(pid) << pid;
    ::kill(pid_t(pid), SIGTERM);
    QDeadlineTimer deadline(10000);
    for (qint64 process : processes) {
        while (QFileInfo::exists(QStringLiteral("/proc/%1").arg(process)) && !deadline.hasExpired())
            QThread::msleep(5);
    }
}

// Resident memory of a process and of its children (the keeper's ExifTool), in MB.
double residentMb(qint64 pid)
{
    double kb = 0;
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                kb += line.mid(6).trimmed().split(' ').value(0).toDouble();
        }
    }
    return kb / 1024;
}

// Milliseconds a fixed piece of arithmetic takes on each CPU the benchmark may use. On some
// virtual machines one CPU runs markedly slower than the other for minutes at a time: ExifTool
// alone, one process, then takes a third longer or shorter from one round to the next, depending
// on where it lands, and every ratio swings with it.
std::vector<std::pair<int, double>> cpuSpeeds()
{
    std::vector<std::pair<int, double>> speeds;
    cpu_set_t allowed;
    if (::sched_getaffinity(0, sizeof allowed, &allowed) != 0)
        return speeds;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (!CPU_ISSET(cpu, &allowed))
            continue;
        double ms = -1;
        std::thread worker([cpu, &ms] {
            cpu_set_t one;
            CPU_ZERO(&one);
            CPU_SET(cpu, &one);
            if (::pthread_setaffinity_np(::pthread_self(), sizeof one, &one) != 0)
                return;
            QElapsedTimer clock;
            clock.start();
            volatile unsigned sum = 0;
            for (unsigned i = 0; i < 30'000'000; ++i)
                sum = sum + i * 2654435761u;
            ms = clock.nsecsElapsed() / 1e6;
        });
        worker.join();
        if (ms > 0)
            speeds.emplace_back(cpu, ms);
    }
    return speeds;
}

void printCpuSpeeds(const char *when)
{
    const auto speeds = cpuSpeeds();
    if (speeds.empty())
        return;
    std::printf("cpu speeds %s:", when);
    double fastest = speeds.front().second, slowest = fastest;
    for (const auto &[cpu, ms] : speeds) {
        std::printf(" cpu%d %.1f ms", cpu, ms);
        fastest = std::min(fastest, ms);
        slowest = std::max(slowest, ms);
    }
    std::printf("\n");
    if (slowest > fastest * 1.15)
        std::printf("the CPUs ran at different speeds (%.0f %%): ExifTool alone swings with the CPU it lands on, and "
                    "so does every ratio\n",
                    100 * (slowest / fastest - 1));
}

struct Figures {
    std::vector<double> program, exiftool, built, filled;
    int rows = 0;
};

// One timed start of the program and one of ExifTool alone; false when either failed.
// aloneFirst: ExifTool alone runs before the program. A cold start leaves a keeper behind that
// loads Perl on the other core right after the program has ended: ExifTool alone, run then,
// would be timed beside it and seem slower than it is.
bool measure(const QString &self, const QString &photo, const QString &settings, const QString &runtime,
             const QString &report, const QString &exiftool, const QStringList &exiftoolArguments, Figures &figures,
             bool aloneFirst)
{
    QByteArray childFigures;
    double program = -1, alone = -1;
    QFile::remove(report);
    if (aloneFirst) {
        alone = timeProcess(exiftool, exiftoolArguments);
        QFile::remove(report);
    }
    program = timeProcess(self, {photo, settings}, &childFigures, runtime);
    QFile::remove(report);
    if (!aloneFirst)
        alone = timeProcess(exiftool, exiftoolArguments);
    QFile::remove(report);
    if (program < 0 || alone < 0) {
        std::printf("failed (program %.0f, exiftool %.0f)\n", program, alone);
        return false;
    }
    const QList<QByteArray> parts = childFigures.split(' ');
    if (parts.size() == 3) {
        figures.rows = parts[0].toInt();
        figures.built.push_back(parts[1].toDouble());
        figures.filled.push_back(parts[2].toDouble());
    }
    figures.program.push_back(program);
    figures.exiftool.push_back(alone);
    std::printf("%11.1f %12.1f | %12.1f %12.1f\n", program, alone, figures.built.empty() ? 0 : figures.built.back(),
                figures.filled.empty() ? 0 : figures.filled.back());
    return true;
}

double summarize(const char *what, const Figures &figures)
{
    const double program = median(figures.program);
    const double alone = median(figures.exiftool);
    std::printf("median %s: program %.1f ms, exiftool alone %.1f ms; window built %.1f, list filled %.1f ms after "
                "the start path began (%d rows)\n",
                what, program, alone, median(figures.built), median(figures.filled), figures.rows);
    return program / alone;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 5;
    const QString exiftool = QStandardPaths::findExecutable(QStringLiteral("exiftool"));
    if (exiftool.isEmpty()) {
        std::printf("exiftool is not installed; nothing to measure\n");
        return 0;
    }
    QTemporaryDir dir;
    QString photo = argc > 2 ? QString::fromLocal8Bit(argv[2]) : dir.filePath(QStringLiteral("Foto.jpg"));
    if (argc <= 2 && !makePhoto(photo)) {
        std::printf("could not make the photo %s\n", qPrintable(photo));
        return 1;
    }
    QString report;
    if (!ReportPath::forPhoto(photo, &report) || QFile::exists(report)) {
        std::printf("%s already has a report beside it (%s); the program would only show that\n", qPrintable(photo),
                    qPrintable(report));
        return 1;
    }

    const QString self = QCoreApplication::applicationDirPath() + QStringLiteral("/bench_startup_child");
    const QStringList exiftoolArguments{
        QStringLiteral("-lang"), QStringLiteral("en"),  QStringLiteral("-a"),  QStringLiteral("-u"),
        QStringLiteral("-g1"),   QStringLiteral("-w!"), QStringLiteral("txt"), photo};
    // Settings of the benchmark's own: the defaults, as a new user has them (the keeper on).
    const QString settings = dir.filePath(QStringLiteral("Lumoskop.conf"));
    std::printf("photo %s, %d rounds\n", qPrintable(photo), rounds);
    std::printf("%11s %12s | %12s %12s\n", "program ms", "exiftool ms", "window ms", "filled ms");

    printCpuSpeeds("before");
    std::printf("cold start: no keeper running\n");
    Figures cold;
    for (int round = 1; round <= rounds; ++round) {
        QTemporaryDir runtime;
        measure(self, photo, settings, runtime.path(), report, exiftool, exiftoolArguments, cold, true);
        // The keeper the cold start leaves behind ends before the next round.
        endKeeper(runtime.path());
    }

    std::printf("second start: the keeper the first start left is warm\n");
    Figures second;
    QTemporaryDir runtime;
    // The first start starts the keeper once its photo is shown; the next one finds it.
    QByteArray ignored;
    QFile::remove(report);
    timeProcess(self, {photo, settings}, &ignored, runtime.path());
    QDeadlineTimer deadline(30000);
    while (keeperIn(runtime.path()) < 0 && !deadline.hasExpired())
        QThread::msleep(10);
    QFile::remove(report);
    timeProcess(self, {photo, settings}, &ignored, runtime.path());
    for (int round = 1; round <= rounds; ++round)
        measure(self, photo, settings, runtime.path(), report, exiftool, exiftoolArguments, second, false);
    const qint64 keeper = keeperIn(runtime.path());
    double keeperMb = 0, keptMb = 0;
    if (keeper > 0) {
        keeperMb = residentMb(keeper);
        for (qint64 kept : childrenOf(keeper))
            keptMb += residentMb(kept);
    }
    endKeeper(runtime.path());
    printCpuSpeeds("after");
    if (cold.program.empty() || second.program.empty())
        return 1;
    const double coldRatio = summarize("cold start", cold);
    const double secondRatio = summarize("second start", second);
    std::printf("keeper resident %.1f MB, its ExifTool %.1f MB\n", keeperMb, keptMb);
    std::printf("ratio program/exiftool %.3f (target: at most 1.10)\n", coldRatio);
    std::printf("ratio second start program/exiftool %.3f (target: at most 0.5)\n", secondRatio);
    return 0;
}
