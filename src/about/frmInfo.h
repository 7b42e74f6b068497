#pragma once

#include "about/Border3D.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QLabel;
class QTimer;

// The about window: a borderless panel with a picture that closes it, and credits that
// scroll up through a viewport to background music, endlessly, until the user clicks the
// picture or presses Escape.
class frmInfo : public QDialog
{
    Q_OBJECT

public:
    // programName: the "ProgrammName" setting, "" when it is missing.
    explicit frmInfo(const QString &programName, QWidget *parent = nullptr);
    ~frmInfo() override;

    // The controls, for placement by the menu and for tests.
    QLabel *BildTamu() const { return m_bildTamu; }
    QWidget *Picture1() const { return m_picture1; }
    QLabel *Picture2() const { return m_picture2; }

    QStringList creditLines() const { return m_lines; }
    bool isScrolling() const;
    int stripTop() const;
    int stripHeight() const;
    bool isBildTamuPressed() const { return m_bildTamuPressed; }

public slots:
    // One step of the animation; the 50 ms timer calls it, tests may call it directly.
    void Timer1_Timer();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;

private:
    void Form_Load();
    void Bildtext();
    void Form_Unload();
    void Form_Resize();
    // Border3D's strokes around a control; none when that fails (reported as Border3D's).
    QVector<BorderLine> DrawnBorder(const QRect &aimControl, int dicke, bool setIn);
    void BildTamu_MouseDown();
    void BildTamu_MouseUp();
    void Picture2_MouseUp();
    void PictureKeyUp(const char *label, int key);

    // Runs one procedure of the window; a failure inside it is shown with the uniform
    // error report under `label` and ends the procedure, never the program.
    template <typename Procedure> void guarded(const char *label, Procedure &&procedure);
    // The same for the procedures that run while the window is resized or painted: the
    // report follows once that has ended.
    template <typename Procedure> void guardedLater(const char *label, Procedure &&procedure);
    void reportFailure(const char *label, int number, const QString &description);

    QString m_programName;
    QStringList m_lines;
    QLabel *m_bildTamu = nullptr;
    QWidget *m_picture1 = nullptr;
    QLabel *m_picture2 = nullptr;
    QTimer *m_timer1 = nullptr;
    bool m_bildTamuPressed = false;
    QVector<BorderLine> m_rahmenLines;   // the window's raised frame
    QVector<BorderLine> m_bildTamuLines; // around the picture: raised, or sunken while pressed
    bool m_unloaded = false;
};

// The "Info" menu item: loads the about window, centres it over `mainWindow` (offset 10)
// and shows it modally until the user closes it.
void ShowInfo(QWidget *mainWindow, const QString &programName);
