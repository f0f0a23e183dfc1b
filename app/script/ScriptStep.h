#pragma once

#include <engine/DateTextSettings.h>
#include <run/ScriptTarget.h>

#include <QCoreApplication>
#include <QJSValue>
#include <QString>
#include <QStringList>

// The script step of a processing run: evaluates the user's script once, with the global
// "DataSheetObject" bound to the output copy and "Qt" holding the item roles. A script that
// cannot be read or fails is reported to the user; the run goes on with what the script changed.
class ScriptStep
{
    Q_DECLARE_TR_FUNCTIONS(Dialog)

public:
    struct Setup
    {
        QString scriptFileName;
        // Per column, in order: its id and the text of its entry in the column chooser.
        QStringList columnIds;
        QStringList columnItemTexts;
        vondrel::DateTextSettings dateText;
        // The files a script must not write: input, output, script, options with their lock
        // and backup, the last configuration and the last mapping file.
        QStringList protectedFiles;
    };

    explicit ScriptStep(Setup setup);

    // The step as the run calls it.
    void operator()(const ScriptTarget &target) const;

    // The caption a script sees for a column chooser entry: with a title row, the title from
    // the first " [" to the last "]" (a title may hold brackets itself), empty without them;
    // without one, the whole text.
    static QString scriptCaption(const QString &itemText, bool hasTitle);
    // What the user reads of a failed script: the message without object addresses, and the
    // line it failed in.
    static QString errorText(const QJSValue &error, const QStringList &stackTrace);

private:
    Setup m_setup;
};
