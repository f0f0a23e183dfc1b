#include "ScriptStep.h"

#include "DataSheetObject.h"

#include <run/AppLog.h>
#include <run/FileErrorMessage.h>
#include <run/UserNotice.h>

#include <QElapsedTimer>
#include <QFile>
#include <QJSEngine>
#include <QJSValue>
#include <QRegularExpression>
#include <QTextStream>

#include <cerrno>
#include <utility>

ScriptStep::ScriptStep(Setup setup)
    : m_setup(std::move(setup))
{ }

void ScriptStep::operator()(const ScriptTarget &target) const
{
    QFile file(m_setup.scriptFileName);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        const QString reason = FileErrorMessage::reason(
            file.fileName(), FileErrorMessage::Access::Read, file.error(), errno);
        UserNotice::information(tr("Fehler:"),
                                tr("Die Scriptdatei konnte nicht geladen werden:\r\n%1")
                                    .arg(FileErrorMessage::describe(file.fileName(), reason)));
        return;
    }
    QTextStream stream(&file);
    const QString program = stream.readAll();
    file.close();
    if (program.isEmpty())
        return;

    QStringList captions;
    captions.reserve(m_setup.columnItemTexts.size());
    for (const QString &text : m_setup.columnItemTexts)
        captions.append(scriptCaption(text, target.hasTitle));

    // Declared before the engine, so that it outlives it: the engine only refers to it.
    DataSheetObject sheet;
    sheet.init(target.model, m_setup.columnIds, captions, target.firstRow, -1, target.hasTitle,
               target.date1904);
    sheet.setWorkbook(target.document);
    sheet.setDateTextSettings(m_setup.dateText);
    sheet.setProtectedFiles(m_setup.protectedFiles);

    QJSEngine engine;
    QJSEngine::setObjectOwnership(&sheet, QJSEngine::CppOwnership);
    engine.globalObject().setProperty(QStringLiteral("DataSheetObject"), engine.newQObject(&sheet));
    QJSValue roles = engine.newObject();
    roles.setProperty(QStringLiteral("DisplayRole"), int(Qt::DisplayRole));
    roles.setProperty(QStringLiteral("EditRole"), int(Qt::EditRole));
    engine.globalObject().setProperty(QStringLiteral("Qt"), roles);

    QElapsedTimer timer;
    timer.start();
    QStringList stackTrace;
    const QJSValue result = engine.evaluate(program, QString(), 1, &stackTrace);
    // A thrown value that is no Error object (throw "text") only shows in the stack trace.
    const bool failed = result.isError() || !stackTrace.isEmpty();
    qCInfo(lcRun) << "script evaluated in" << timer.elapsed() << "ms"
                  << (failed ? "with an error" : "");
    if (failed)
        UserNotice::information(tr("Scriptfehler:"), errorText(result, stackTrace));
}

QString ScriptStep::errorText(const QJSValue &error, const QStringList &stackTrace)
{
    // An object named in a message shows as "Name(0x55d1c0a8, ...)": where it lies in memory
    // means nothing to the user and tells an attacker where the program lies.
    static const QRegularExpression address(QStringLiteral("\\(0x[0-9A-Fa-f]+[^)]*\\)"));
    QString message = error.toString();
    message.remove(address);
    // Frames read "function:line:column:file"; a thrown value that is no Error object has
    // no line of its own.
    int line = error.isError() ? error.property(QStringLiteral("lineNumber")).toInt() : 0;
    if (line <= 0 && !stackTrace.isEmpty())
        line = stackTrace.constFirst().section(QLatin1Char(':'), 1, 1).toInt();
    if (line <= 0)
        return message;
    return message + QStringLiteral("\r\n") + tr("Zeile %1").arg(line);
}

QString ScriptStep::scriptCaption(const QString &itemText, bool hasTitle)
{
    if (!hasTitle)
        return itemText;
    const qsizetype open = itemText.indexOf(QLatin1String(" ["));
    const qsizetype close = itemText.lastIndexOf(QLatin1Char(']'));
    if (open < 0 || close < open + 2)
        return QString();
    return itemText.mid(open + 2, close - open - 2);
}
