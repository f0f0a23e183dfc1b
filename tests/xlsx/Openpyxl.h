#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

// Runs tests/xlsx/openpyxl_check.py with the system's Python, an independent reader and writer
// of the file format.
namespace Openpyxl {

// Whether the Python in use can import openpyxl.
bool available();
// Runs the script in a mode on a path; false (with its error output logged) when it fails.
bool run(const QString &mode, const QString &path, QByteArray *output = nullptr);
// The JSON the script prints in a mode; empty when it fails.
QJsonObject json(const QString &mode, const QString &path);
// Equal, except that colours ([r, g, b]) may differ by rounding.
bool sameLayout(const QJsonValue &a, const QJsonValue &b);

} // namespace Openpyxl
