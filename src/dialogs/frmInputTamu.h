#pragma once

#include <QDialog>

class CaptionedTextBox;
class GradientButton;
class QLabel;

// Asks the user for one line of text, in the look of the message box.
class frmInputTamu : public QDialog
{
    Q_OBJECT
public:
    explicit frmInputTamu(QWidget *parent = nullptr);

    QLabel *lblText() const { return m_prompt; }
    CaptionedTextBox *txtInputText() const { return m_input; }
    GradientButton *cmdOK() const { return m_ok; }
    GradientButton *cmdExit() const { return m_exit; }

protected:
    bool event(QEvent *event) override;

private:
    void cmdOK_Click();
    void cmdExit_Click();
    void applicationStateChanged(Qt::ApplicationState state);

    QLabel *m_prompt = nullptr;
    CaptionedTextBox *m_input = nullptr;
    GradientButton *m_ok = nullptr;
    GradientButton *m_exit = nullptr;
    bool m_activatedSinceShown = false;
    bool m_backFromOtherProgram = false;
};

// Shows the input box modally, centred over owner (offset 10), with the title, the prompt and
// a preset answer; returns the text typed, or the empty text after "E&xit " or a close.
QString InputTamu(QWidget *owner, const QString &title, const QString &prompt, const QString &preset = QString());
