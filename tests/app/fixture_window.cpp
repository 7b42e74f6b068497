#include "fixture_window.h"

#include "controls/CaptionedTextBox.h"
#include "controls/GradientButton.h"
#include "dialogs/frmMsgTamu.h"
#include "pipeline/ProgramFolder.h"

#include <QFile>

BoxWatcher::BoxWatcher(const QString &word) : answer(word)
{
    connect(&m_timer, &QTimer::timeout, this, [this] {
        frmMsgTamu *box = frmMsgTamu::current();
        if (!box || !box->isVisible())
            return;
        titles << box->windowTitle();
        texts << box->txtMsgText()->text();
        for (int i = 0; i < 7 && !answer.isEmpty(); ++i) {
            GradientButton *b = box->cmdButton(i);
            if (b && b->isVisible() && b->text().remove(QLatin1Char('&')).trimmed().compare(answer, Qt::CaseInsensitive) == 0) {
                b->click();
                return;
            }
        }
        box->close();
    });
    m_timer.start(20);
}

FakeExifTool::FakeExifTool(double delaySeconds)
{
    const QString script = QStringLiteral(
                               "#!/bin/bash\n"
                               "d='%1'\n"
                               // A kept ExifTool is slow to start as well, but it is no run of its own:
                               // the window starts one at once, and may end it unused.
                               "case \"$*\" in *-stay_open*) sleep %2; exec '%3' \"$@\";; esac\n"
                               "mkdir \"$d/running\" 2>/dev/null || echo OVERLAP >> \"$d/overlap\"\n"
                               "printf '%s\\n' \"$*\" >> \"$d/calls\"\n"
                               "sleep %2\n"
                               "rmdir \"$d/running\" 2>/dev/null\n"
                               "exec '%3' \"$@\"\n")
                               .arg(m_dir.path())
                               .arg(delaySeconds)
                               .arg(TestPhotos::exiftool());
    QFile f(m_dir.filePath(QStringLiteral("exiftool")));
    f.open(QIODevice::WriteOnly);
    f.write(script.toUtf8());
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther |
                     QFile::ReadGroup | QFile::ReadOther);
    ProgramFolder::setOverride(m_dir.path());
}

FakeExifTool::~FakeExifTool() { ProgramFolder::setOverride(QString()); }

QStringList FakeExifTool::calls() const
{
    QFile f(m_dir.filePath(QStringLiteral("calls")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool FakeExifTool::overlapped() const { return QFile::exists(m_dir.filePath(QStringLiteral("overlap"))); }

std::unique_ptr<QSettings> freshSettings(const QTemporaryDir &dir)
{
    return std::make_unique<QSettings>(dir.filePath(QStringLiteral("Lumoskop.conf")), QSettings::IniFormat);
}
