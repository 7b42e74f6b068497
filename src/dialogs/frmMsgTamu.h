#pragma once

#include "dialogs/MsgTamuRules.h"

#include <QDialog>
#include <QTimer>

class CaptionedTextBox;
class GradientButton;
class QFrame;
class QLabel;

// The program's message box. One window per MsgTamu call, holding that call's settings (default
// button, countdown), so that a box opened while another one waits cannot disturb it. The
// window shows what MsgTamuRules decides; MsgTamu (modMsgTamu.h) fills and runs it.
class frmMsgTamu : public QDialog
{
    Q_OBJECT
public:
    explicit frmMsgTamu(QWidget *parent = nullptr);
    ~frmMsgTamu() override;

    void setColours(quint32 back, quint32 fore);
    void applyStyle(const MsgTamuRules::Style &style, int defaultButton);
    // Puts the text in and returns the height (twips) the narrow text box needs to show it whole.
    int setMessage(const QString &text);
    void applySize(const MsgTamuRules::Size &size);

    // Shows the box: modal below two seconds, else modeless with the countdown running.
    // Returns at once; answered() tells when a button, the countdown or closing ended it.
    void start(int seconds);
    bool isAnswered() const { return m_answered; }
    // While a later box is open this one steps aside (hidden, countdown held) and comes back.
    void suspend();
    void resume();
    bool isSuspended() const { return m_suspended; }

    // The pressed button's word, empty after a countdown or a close without a button.
    QString pubMsgTamu;

    // The box the user sees now (the latest one shown and not yet answered), or null.
    static frmMsgTamu *current();

    GradientButton *cmdButton(int index) const;
    QLabel *imgMsgIcon(int index) const; // 1 to 4
    CaptionedTextBox *txtMsgText() const { return m_text; }
    CaptionedTextBox *txtdummy() const { return m_dummy; }
    QFrame *fraMsgButton() const { return m_strip; }
    // The icon shown (0 for none), and the default button (-1 for none).
    int shownIcon() const;
    int defaultButtonIndex() const;

signals:
    void answered();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void reject() override;

private:
    void Form_Activate();
    void cmdButton_Click(int index);
    void Timer_Timer();
    void finish(const QString &word);

    CaptionedTextBox *m_text = nullptr;
    CaptionedTextBox *m_dummy = nullptr;
    QLabel *m_icons[5] = {};
    QFrame *m_strip = nullptr;
    GradientButton *m_buttons[MsgTamuRules::ButtonCount] = {};
    QTimer m_timer;

    QVector<int> m_shownButtons;
    int m_defaultButton = MsgTamuRules::NoDefaultButton;
    MsgTamuRules::Countdown m_countdown{QString(), 0};
    bool m_answered = false;
    bool m_suspended = false;
};
