#pragma once

#include <QList>
#include <QString>

struct ReportRow { QString name; QString value; bool bold = false; bool header = false; }; // header: a report line without a colon
using ReportRows = QList<ReportRow>;
