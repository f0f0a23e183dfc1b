#pragma once

#include "SettingValues.h"

#include <kivra/Records.h>
#include <script/ScriptStep.h>

#include <QDialog>
#include <QIcon>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QSharedPointer>
#include <QString>
#include <QVariant>

#include <memory>
#include <utility>

class QComboBox;
class QLayout;
class QPushButton;
class QTableView;
class QTextCodec;
class QxtCsvModel;
struct RunResult;
struct RunSettings;

namespace QXlsx {
class Document;
class SheetModel;
} // namespace QXlsx

namespace Ui {
class Dialog;
} // namespace Ui

// The program's one window. The form builder makes its widgets from the main form's
// description and keeps them in step with the value map and with the values below, which
// the form's fields are bound to; every event of the form reaches onFormCallback.
class Dialog : public QDialog
{
    Q_OBJECT

public:
    // settingsDir, when given, replaces the choice of the settings directory.
    explicit Dialog(QWidget *parent = nullptr, const QString &settingsDir = QString());
    ~Dialog() override;

    // The form's value map: every field's value under its name.
    QMap<QString, QVariant> &optionMap() { return m_optionMap; }
    const QMap<QString, QVariant> &optionMap() const { return m_optionMap; }
    // The directory of the options file "vondrel.opt".
    const QString &settingsDir() const { return m_settingsDir; }
    // The options file, which holds the key.
    QString optionsFilePath() const { return m_settingsDir + QStringLiteral("/vondrel.opt"); }
    // Beside it, kept as well: the lock its writer takes and the copy of a damaged one.
    QString optionsLockPath() const { return optionsFilePath() + QStringLiteral(".lock"); }
    QString optionsBackupPath() const { return optionsFilePath() + QStringLiteral(".bak"); }

    // Configuration files: the window's choices saved into path, or taken from it. Both report
    // a failure to the user; a file without a configuration changes nothing.
    bool saveConfigurationTo(const QString &path);
    bool loadConfigurationFrom(const QString &path);

    // The script step of a run over the current columns, settings and files.
    ScriptStep::Setup scriptStepSetup() const;

private:
    // Tests reach the loaded state through it.
    friend struct DialogTestAccess;

    void buildViews(QLayout *formLayout);
    QList<kivra::INFO> formFields(QPushButton *assignButton);
    kivra::INFO windowRecord();

    // Every event of the main form; never refuses a change.
    int onFormCallback(const QPointer<QWidget> &window, const QPointer<QWidget> &widget,
                       const QVariant &value, kivra::CallbackType type, const kivra::INFO &field,
                       QMap<QString, QVariant> *vars, QVariant *newValue, const QVariant *oldValue);
    void onFieldChanged(const QString &name);
    void onAction(const QString &name, QMap<QString, QVariant> *vars);
    void setAllEmptyDataFields(QMap<QString, QVariant> *vars, Qt::CheckState state);

    // "Zuweisen": the chosen field type becomes the chosen column's template.
    void onAssignClicked();
    // Shows the template of the column now chosen.
    void onColumnChanged();
    void refillTypeCombo();
    // (label, placeholder) per field type, sorted by label.
    QList<std::pair<QString, QString>> parseFieldTypeList() const;
    // The CSV options apply to text input only.
    void setCsvOptionsEnabled(bool enabled);
    int showHelp();
    int showLicenses();
    // "Konfigurieren": the settings dialog over the run's 18 settings.
    void showSettingsDialog();
    // The 18 settings take the value map's entries, so the run reads what the map holds;
    // after the form was built and after a configuration was loaded.
    void takeSettingsFromOptionMap();

    // Loading the input (DialogLoading.cpp). A load reads the whole file and replaces the
    // shown table, the held bytes and the column lists only once it has read it completely.
    struct CsvLoad;
    struct XlsxLoad;
    // (caption, id) per column, in column order.
    using ColumnList = QList<std::pair<QString, QString>>;
    bool loadInputFile(const QString &name, bool forOutput, bool detect, bool *bomOut, bool reset);
    bool loadCsv(const QByteArray &bytes, bool forOutput, bool detect, bool *bomOut);
    bool loadXlsx(const QByteArray &bytes, bool forOutput);
    // Parses the held bytes again with the current options.
    bool reloadInput(bool forOutput, bool detect, bool *bomOut);
    bool inputIsXlsx() const;
    // "Aktualisieren": the held bytes parsed again, or the file the input field names now
    // read when it is another one.
    void refreshInput();
    // False, after saying so, when name is given but is no regular file that can be read.
    bool reportUnreadableInput(const QString &name);
    bool readCsv(const QByteArray &bytes, bool forOutput, bool detect, CsvLoad &csv);
    void showCsv(const CsvLoad &csv, bool forOutput);
    void applyDetectedFormat(const CsvLoad &csv);
    void selectEncoding(const QString &name);
    bool readXlsx(const QByteArray &bytes, bool forOutput, XlsxLoad &workbook);
    // The sheet the user picks of a workbook with several; the first visible one when cancelled.
    QString chooseSheet(const QXlsx::Document &document);
    void showXlsx(const XlsxLoad &workbook, bool forOutput);
    void setupCsvColumns();
    void setupXlsxColumns();
    static QString columnCaption(const QString &id, bool hasTitle, const QString &title);
    void applyEmptyDataFields(const ColumnList &columns, const QVariantList &selected);
    void fillColumnCombo(const ColumnList &columns);
    // The CSV options as the form chooses them.
    QVariant currentChoice(const QString &key) const;
    QTextCodec *textCodec() const;
    QChar csvSeparator() const;
    int csvQuoteMode(bool forWriting) const;
    // Hides the rows above the data start in both views.
    void showRowsFromDataStart(int count);
    // The reloads after the start row or the title switch changed, 100 ms later.
    void rowOffsetReloadSlot();
    void titleReloadSlot();

    // The processing run (DialogRun.cpp): "Testen und Erstellen". True when the output file
    // was written (and the mapping file, when asked for).
    bool createOutput();
    // What the run reads of the window, taken at its start.
    RunSettings runSettings() const;
    // Keeps a new key in the value map and in the options file at once; the error message,
    // empty when it was stored.
    QString storeNewKey(const QByteArray &key);
    // A usable key in the options file becomes the window's key: before a run, and before the
    // window's values are saved when it closes, so that a second window never replaces it.
    void takeKeyFromOptionsFile();
    // The output copy of a run in the output view.
    void showRunOutput(const RunResult &result);
    // The output view after another input was read: the old output no longer belongs to it.
    void clearRunOutput();
    // Why a run must not start although the run itself would go ahead; empty when it may.
    QString runRefusal(const RunSettings &settings) const;
    // Whether the loaded table holds a row at or after the start row the run would change.
    bool hasDataRows(const RunSettings &settings) const;
    // The main window has no default button: Enter in one of its fields presses nothing.
    void takeEnterFromButtons();

    // "Speichern" and "Laden" (DialogConfig.cpp): each asks for the file first.
    void saveConfiguration();
    void loadConfiguration();
    // A loaded configuration may switch the script on: true when the user agrees to run it.
    bool confirmLoadedScript(const QVariantMap &loaded);
    // Where both configuration dialogs open: the folder of the last configuration used, else
    // the input file's folder.
    QString configurationFolder() const;
    // The red dots of the column chooser after the templates changed.
    void showAssignedColumns();
    // The files that a configuration or a script must never replace.
    QStringList protectedFiles() const;
    // How the run and the script read text as dates and write dates as text.
    vondrel::DateTextSettings dateTextSettings() const;

    QMap<QString, QVariant> m_optionMap;
    QVariant m_inputFilename;
    QVariant m_exportFilename;
    QVariant m_scriptFilename;
    QVariant m_loadedInputName;
    QVariant m_createExportMapFile {false};
    QPointer<QTableView> m_inputView;
    QPointer<QTableView> m_outputView;
    QSharedPointer<QxtCsvModel> m_inputCsvModel;
    QSharedPointer<QxtCsvModel> m_outputCsvModel;
    QSharedPointer<QXlsx::SheetModel> m_inputSheetModel;
    QSharedPointer<QXlsx::SheetModel> m_outputSheetModel;
    QSharedPointer<QXlsx::Document> m_inputDocument;
    QSharedPointer<QXlsx::Document> m_outputDocument;
    QString m_selectedSheet;
    QVariant m_csvInputRelaxed {true};
    QVariant m_inputEditable {true};
    QVariant m_inputHasTitle {true};
    QVariant m_inputRowOffset {1};
    kivra::T_LISTDATA m_emptyFieldItems;
    QString m_settingsDir;
    QPointer<QComboBox> m_columnCombo;
    QPointer<QComboBox> m_typeCombo;
    // Per field type one line "label;placeholder" ended by CR LF.
    QString m_fieldTypeListText;
    QVariant m_scriptUse {false};
    QIcon m_assignedIcon;
    QByteArray m_rawInput;
    bool m_inputHasBom = false;

    // The run's settings; the settings dialog edits them.
    SettingValues m_settings;
    // Column id -> field type template (a placeholder such as "<TEXT>").
    QMap<QString, QVariant> m_columnTemplates;

    bool m_inputChanged = true;
    // The configuration file last saved or loaded: its folder is where the next one is looked
    // for, and a run never writes over it.
    QString m_configurationFile;
    // The mapping file the last run wrote: the only way back from its pseudonyms.
    QString m_lastMappingFile;
    // A load is reading; loads and reloads started meanwhile wait or are refused.
    bool m_loading = false;
    std::unique_ptr<Ui::Dialog> m_ui;
};
