#pragma once

#include <QComboBox>

// The language box: an editable list of ExifTool's language codes. Only an entry picked from
// its open list is a choice (picked()). What is typed stays text, and so does what Enter, Tab,
// the arrow keys or the wheel make of it: QComboBox would report those as activated too.
class LanguageBox : public QComboBox
{
    Q_OBJECT
public:
    // ExifTool's output languages, in the list's order.
    static const QStringList Codes;

    explicit LanguageBox(QWidget *parent = nullptr);

    // Fills the list and shows code, on which the list then opens; a code that is none of the
    // list's is shown as it is.
    void showCode(const QString &code);

    void showPopup() override;

signals:
    void picked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_listOpen = false;
    QWidget *m_watchedList = nullptr;
};
