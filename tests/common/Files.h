#pragma once

#include <QByteArray>
#include <QString>

// Small file helpers shared by the tests.
namespace Files
{

bool write(const QString &path, const QByteArray &bytes);
QByteArray read(const QString &path); // empty when unreadable

// Writes an executable shell script (a "#!/bin/sh" line is put first).
bool writeScript(const QString &path, const QByteArray &body);

// A report as ExifTool writes it for the named file: ExifTool and System groups, then lines.
QByteArray reportFor(const QString &fileName, const QByteArray &moreLines = QByteArray());

} // namespace Files
