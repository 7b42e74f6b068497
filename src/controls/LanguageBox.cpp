#include "controls/LanguageBox.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QTimer>

LanguageBox::LanguageBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::activated, this, [this] {
        if (m_listOpen)
            emit picked();
    });
}

const QStringList LanguageBox::Codes = {"de", "en", "es", "fi", "fr", "it", "ja", "ko",
                                        "nl", "pl", "ru", "sk", "sv", "tr", "zh"};

void LanguageBox::showCode(const QString &code)
{
    if (count() == 0)
        addItems(Codes);
    setCurrentIndex(int(Codes.indexOf(code)));
    setEditText(code);
}

void LanguageBox::showPopup()
{
    // The list's window hides however it closes: an entry picked, Escape, a click elsewhere.
    if (QWidget *list = view()->window(); list != m_watchedList) {
        m_watchedList = list;
        list->installEventFilter(this);
    }
    m_listOpen = true;
    QComboBox::showPopup();
}

bool LanguageBox::eventFilter(QObject *watched, QEvent *event)
{
    // A pick is reported right after the list hides, in the same turn of the event loop.
    if (watched == m_watchedList && event->type() == QEvent::Hide)
        QTimer::singleShot(0, this, [this] { m_listOpen = false; });
    return QComboBox::eventFilter(watched, event);
}
