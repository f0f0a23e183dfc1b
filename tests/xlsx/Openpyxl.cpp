#include "Openpyxl.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

#include <cmath>

namespace Openpyxl {

bool available()
{
    QProcess probe;
    probe.start(QStringLiteral(VONDREL_PYTHON),
                {QStringLiteral("-c"), QStringLiteral("import openpyxl")});
    return probe.waitForFinished(60000) && probe.exitStatus() == QProcess::NormalExit &&
        probe.exitCode() == 0;
}

bool run(const QString &mode, const QString &path, QByteArray *output)
{
    QProcess process;
    process.start(QStringLiteral(VONDREL_PYTHON), {QStringLiteral(OPENPYXL_SCRIPT), mode, path});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        qWarning().noquote() << process.readAllStandardError();
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return true;
}

QJsonObject json(const QString &mode, const QString &path)
{
    QByteArray output;
    if (!run(mode, path, &output))
        return {};
    return QJsonDocument::fromJson(output).object();
}

bool sameLayout(const QJsonValue &a, const QJsonValue &b)
{
    if (a.isArray() && b.isArray()) {
        const QJsonArray x = a.toArray();
        const QJsonArray y = b.toArray();
        if (x.size() != y.size())
            return false;
        const bool colour = x.size() == 3 && x.at(0).isDouble() && x.at(1).isDouble();
        for (qsizetype i = 0; i < x.size(); ++i) {
            if (colour ? std::abs(x.at(i).toDouble() - y.at(i).toDouble()) > 2
                       : !sameLayout(x.at(i), y.at(i)))
                return false;
        }
        return true;
    }
    if (a.isObject() && b.isObject()) {
        const QJsonObject x = a.toObject();
        const QJsonObject y = b.toObject();
        if (x.keys() != y.keys())
            return false;
        for (const QString &key : x.keys())
            if (!sameLayout(x.value(key), y.value(key)))
                return false;
        return true;
    }
    return a == b;
}

} // namespace Openpyxl
