#include "summary/ClipboardText.h"

#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>

namespace
{
void appendRow(QString &text, const ReportRow &row)
{
    text += row.name;
    text += QLatin1Char('\t');
    text += row.value;
    text += QStringLiteral("\r\n");
}
} // namespace

QString clipboardText(const ReportRows &rowsInListOrder)
{
    QString text;
    for (const ReportRow &row : rowsInListOrder)
        appendRow(text, row);
    return text;
}

QString clipboardText(const ReportRows &rowsInListOrder, const QList<int> &listRows)
{
    // A selection model reports rows in the order they were picked.
    QList<int> rows = listRows;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QString text;
    for (const int row : rows) {
        if (row >= 0 && row < rowsInListOrder.size())
            appendRow(text, rowsInListOrder.at(row));
    }
    return text;
}

void putOnClipboard(const QString &text)
{
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}
