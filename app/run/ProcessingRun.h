#pragma once

#include "RunInput.h"
#include "RunResult.h"
#include "RunSettings.h"
#include "ScriptTarget.h"

#include <QCoreApplication>
#include <QList>

#include <functional>
#include <memory>

class OutputTarget;
class ResultCache;

// One run of "Testen und Erstellen" without any window: checks the settings, makes the output
// copy of the loaded table, replaces or empties the chosen columns, lets the script step work
// on the copy, and writes the output file and the mapping file. Either a complete output is
// committed or no existing file changes; the result says which, with the message to show.
class ProcessingRun
{
    Q_DECLARE_TR_FUNCTIONS(Dialog)

public:
    // Stores a newly made key for good; called before anything is written with it. Returns
    // the message why it could not, empty when it was stored: the run then stops.
    using KeyStore = std::function<QString(const QByteArray &key)>;
    // Runs the user's script on the output copy; it reports its own errors.
    using ScriptStep = std::function<void(const ScriptTarget &target)>;
    // Called now and then on the run's thread while it works (a few times a second), so that
    // a window can repaint; it must not start another run.
    using Pulse = std::function<void()>;

    ProcessingRun(RunSettings settings, RunInput input);
    ~ProcessingRun();
    Q_DISABLE_COPY_MOVE(ProcessingRun)

    void setKeyStore(KeyStore store);
    void setScriptStep(ScriptStep step);
    void setPulse(Pulse pulse);
    // Threads for the pseudonyms that depend on the text alone (0: one per core). The output
    // is the same for any number.
    void setThreads(int threads);

    RunResult exec();

private:
    enum class Written { Output, Mapping };
    // A file the run must keep, with the words that name it in a message ("die Scriptdatei").
    struct KeptFile
    {
        QString path;
        QString name;
    };

    bool runSteps();
    bool check();
    QList<KeptFile> keptFiles(Written file) const;
    // Whether path may be written as that file now: it replaces no kept file and where it
    // lands can be told. Asked again right before each file is opened and before the files
    // are committed, as links and files may have come in the meantime. False with the
    // message set.
    bool mayWrite(const QString &path, Written file);
    bool makeOutputCopy();
    bool chooseKey();
    bool pseudonymise();
    void runScript();
    bool writeCsvOutput();
    bool writeXlsxOutput();
    bool writeMappingFile();
    // Replaces the output file and writes the mapping file, both complete by now.
    bool commitFiles();
    bool fail(const QString &title, const QString &text);
    // The output or the mapping file could not be written: which, where and why.
    bool failWriting(const QString &title, const OutputTarget &target);
    static QString notCreated(Written file);

    RunSettings m_settings;
    RunInput m_input;
    KeyStore m_keyStore;
    ScriptStep m_scriptStep;
    Pulse m_pulse;
    int m_threads = 0;
    QString m_outputPath;
    QString m_mappingPath;
    QByteArray m_key;
    // For CSV opened by the checks, so that an unwritable output stops the run early.
    std::unique_ptr<OutputTarget> m_outputTarget;
    std::unique_ptr<OutputTarget> m_mappingTarget;
    RunResult m_result;
};
