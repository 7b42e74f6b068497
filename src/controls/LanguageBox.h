#pragma once

#include <QComboBox>

// The language box: an editable list of ExifTool's language codes. Only an entry picked from
// its open list is a choice (picked()). What is typed stays text, and so does what Enter, Tab,
// the arrow keys or the wheel make of it: QComboBox would report those as activated too.
class LanguageBox : public QComboBox
{
    Q_OBJECT
public:
    explicit LanguageBox(QWidget *parent = nullptr);

    void showPopup() override;

signals:
    void picked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_listOpen = false;
    QWidget *m_watchedList = nullptr;
};
