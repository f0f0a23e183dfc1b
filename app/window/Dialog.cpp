#include "Dialog.h"
#include "ui_Dialog.h"

#include "AppPrompt.h"
#include "FieldTypeList.h"
#include "MainFormDescription.h"
#include "SettingsDirectory.h"
#include "UiLog.h"

#include <kivra/FormBuilder.h>
#include <kivra/Options.h>
#include <kivra/Registry.h>
#include <tables/QxtCsvModel.h>
#include <tables/SheetModel.h>
#include <xlsx/Document.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QTableView>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QIcon makeAssignedIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setBrush(QBrush(Qt::red, Qt::SolidPattern));
    painter.drawEllipse(8, 8, 16, 16);
    painter.end();
    return QIcon(pixmap);
}

QAbstractItemView::EditTriggers inputEditTriggers(bool editable)
{
    return editable ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    : QAbstractItemView::NoEditTriggers;
}

void openBesideProgram(QWidget *window, const QString &fileName)
{
    const QString page = QCoreApplication::applicationDirPath() + fileName;
    // The desktop would start a browser that then finds nothing, and the user would never learn
    // which file is missing.
    if (!QFileInfo::exists(page)) {
        AppPrompt::information(window, Dialog::tr("Fehler:"),
                               Dialog::tr("Die Datei wurde nicht gefunden:\r\n%1")
                                   .arg(QDir::toNativeSeparators(page)));
        return;
    }
    AppPrompt::openUrl(window, QUrl::fromLocalFile(page));
}

} // namespace

Dialog::Dialog(QWidget *parent, const QString &settingsDir)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::Dialog>())
{
    m_ui->setupUi(this);
    m_assignedIcon = makeAssignedIcon();
    m_settingsDir = settingsDir.isEmpty() ? settingsDirectory() : settingsDir;

    // Made here and placed by the form builder, which reparents them into the form.
    m_typeCombo = new QComboBox(this);
    m_typeCombo->setObjectName(QStringLiteral("typeCombo"));
    m_columnCombo = new QComboBox(this);
    m_columnCombo->setObjectName(QStringLiteral("columnCombo"));
    auto *assignButton = new QPushButton(tr("Zuweisen"), this);
    assignButton->setObjectName(QStringLiteral("assignButton"));
    const QList<kivra::INFO> fields = formFields(assignButton);

    connect(m_columnCombo, &QComboBox::currentIndexChanged, this, [this] { onColumnChanged(); });
    connect(assignButton, &QAbstractButton::clicked, this, [this] { onAssignClicked(); });

    m_fieldTypeListText = makeFieldTypeListText();

    const kivra::FormFlags formFlags = kivra::kApplyWindowFlags | kivra::kKeepAllNamed |
        kivra::kMaximized | kivra::kSaveAllOnClose | kivra::kCloseAccepts;
    const kivra::FormResult result =
        kivra::buildForm(this, formFlags, kivra::kDlgTitleSysMinMaxClose, windowRecord(), fields,
                         &m_optionMap, nullptr);
    buildViews(qobject_cast<QLayout *>(result.rootLayout.data()));
    takeEnterFromButtons();

    // The options file restored the format last used for this file; detecting it again would
    // overrule the user's choices.
    loadInputFile(m_inputFilename.toString(), false, false, nullptr, true);
}

Dialog::~Dialog()
{
    // The form's widgets and its event filter hold pointers to the value map and to the
    // values above; they go first, while everything they point to is still there.
    while (!children().isEmpty())
        delete children().constLast();
}

void Dialog::takeEnterFromButtons()
{
    // In a QDialog every push button takes Enter by default, and "Beenden" is the form's OK
    // button: Enter in a file name or the start row would open a chooser or close the window,
    // and the column assignments, which are not kept, would be gone.
    for (QPushButton *button : findChildren<QPushButton *>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

void Dialog::buildViews(QLayout *formLayout)
{
    auto *content = new QVBoxLayout;
    if (formLayout)
        content->addLayout(formLayout);
    content->addWidget(new QLabel(tr("Eingabe:")));
    m_inputView = new QTableView;
    m_inputView->setObjectName(QStringLiteral("inputView"));
    m_inputView->setEditTriggers(inputEditTriggers(m_inputEditable.toBool()));
    content->addWidget(m_inputView);
    content->addWidget(new QLabel(tr("Ausgabe:")));
    m_outputView = new QTableView;
    m_outputView->setObjectName(QStringLiteral("outputView"));
    m_outputView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    content->addWidget(m_outputView);

    auto *holder = new QWidget;
    holder->setLayout(content);
    auto *scrollArea = new QScrollArea;
    scrollArea->setWidgetResizable(true);
    scrollArea->setWidget(holder);
    auto *windowLayout = new QVBoxLayout(this);
    windowLayout->addWidget(scrollArea);
}

QList<kivra::INFO> Dialog::formFields(QPushButton *assignButton)
{
    MainFormBindings bindings;
    bindings.inputFilename = &m_inputFilename;
    bindings.inputRowOffset = &m_inputRowOffset;
    bindings.csvInputRelaxed = &m_csvInputRelaxed;
    bindings.inputHasTitle = &m_inputHasTitle;
    bindings.inputEditable = &m_inputEditable;
    bindings.emptyFieldItems = &m_emptyFieldItems;
    bindings.columnCombo = m_columnCombo;
    bindings.typeCombo = m_typeCombo;
    bindings.assignButton = assignButton;
    bindings.exportFilename = &m_exportFilename;
    bindings.createExportMapFile = &m_createExportMapFile;
    bindings.scriptUse = &m_scriptUse;
    bindings.scriptFilename = &m_scriptFilename;
    bindings.showHelp = [this](const kivra::CallbackContext &) {
        return showHelp();
    };
    bindings.showLicenses = [this](const kivra::CallbackContext &) {
        return showLicenses();
    };
    return mainFormFields(bindings);
}

kivra::INFO Dialog::windowRecord()
{
    QVariantMap options = kivra::optTitle({}, QObject::tr("Daten-Pseudonymisierungstool:"));
    options = kivra::optInifileName(options, optionsFilePath());
    options = kivra::optInigroupname(options, QStringLiteral("main"));
    options = kivra::optIniseparatekeys(options, false);
    options = kivra::optLocale(options, QLocale(QLocale::German));

    // Each window forwards to itself: the form lives no longer than this window.
    const kivra::LegacyCallback callback =
        [this](const QPointer<QWidget> &window, const QPointer<QWidget> &widget,
               const QVariant &value, kivra::CallbackType type, const kivra::INFO &field,
               QMap<QString, QVariant> *vars, QVariant *newValue, const QVariant *oldValue) {
            return onFormCallback(window, widget, value, type, field, vars, newValue, oldValue);
        };
    return kivra::INFO(kivra::kDialogWindow, {}, options, QVariant(), QString(), callback);
}

int Dialog::onFormCallback(const QPointer<QWidget> &, const QPointer<QWidget> &, const QVariant &,
                           kivra::CallbackType type, const kivra::INFO &field,
                           QMap<QString, QVariant> *vars, QVariant *, const QVariant *)
{
    qCDebug(lcUi) << "form callback" << kivra::callbackTypeName(type) << field.name;
    switch (type) {
    case kivra::kInit:
        refillTypeCombo();
        takeSettingsFromOptionMap();
        break;
    case kivra::kAfterDataChanged:
        onFieldChanged(field.name);
        break;
    case kivra::kAfterAction:
        onAction(field.name, vars);
        break;
    case kivra::kCleanup:
        takeKeyFromOptionsFile();
        break;
    default:
        break;
    }
    return 1;
}

void Dialog::onFieldChanged(const QString &name)
{
    static const QStringList csvOptions {
        QStringLiteral("text_encoding"), QStringLiteral("sep_data_field"),
        QStringLiteral("sep_data_string"), QStringLiteral("sep_data_string_esc"),
        QStringLiteral("csv_input_relaxed")};

    if (name == QLatin1String("input_filename")) {
        loadInputFile(m_inputFilename.toString(), false, true, nullptr, true);
    } else if (csvOptions.contains(name)) {
        reloadInput(false, false, nullptr);
    } else if (name == QLatin1String("input_row_offset")) {
        // Every step of the spin box reloads with the values current when its timer fires.
        QTimer::singleShot(100, this, &Dialog::rowOffsetReloadSlot);
    } else if (name == QLatin1String("input_has_title")) {
        QTimer::singleShot(100, this, &Dialog::titleReloadSlot);
    } else if (name == QLatin1String("input_editable")) {
        if (m_inputView)
            m_inputView->setEditTriggers(inputEditTriggers(m_inputEditable.toBool()));
    }
}

void Dialog::onAction(const QString &name, QMap<QString, QVariant> *vars)
{
    if (name == QLatin1String("tmp_update_input_filename"))
        refreshInput();
    else if (name == QLatin1String("tmp_empty_select_all"))
        setAllEmptyDataFields(vars, Qt::Checked);
    else if (name == QLatin1String("tmp_empty_select_none"))
        setAllEmptyDataFields(vars, Qt::Unchecked);
    else if (name == QLatin1String("config_replacements"))
        showSettingsDialog();
    else if (name == QLatin1String("tmp_testen"))
        createOutput();
    else if (name == QLatin1String("tmp_sichern"))
        saveConfiguration();
    else if (name == QLatin1String("tmp_laden"))
        loadConfiguration();
}

void Dialog::setAllEmptyDataFields(QMap<QString, QVariant> *vars, Qt::CheckState state)
{
    auto *list = kivra::findWidget<QListWidget>(vars, QStringLiteral("empty_data_fields"),
                                                kivra::kListWidget, kivra::kFirstOfKind);
    if (!list)
        return;
    // Each check reaches the framework, which may change the list; the count is read anew.
    for (int row = 0; row < list->count(); ++row)
        list->item(row)->setCheckState(state);
}

void Dialog::onAssignClicked()
{
    const int index = m_columnCombo->currentIndex();
    if (index < 0)
        return;
    const QString column = m_columnCombo->currentData(Qt::UserRole).toString();
    const QString fieldTemplate = m_typeCombo->currentData(Qt::UserRole).toString();
    if (fieldTemplate.isEmpty())
        m_columnTemplates.remove(column);
    else
        m_columnTemplates.insert(column, fieldTemplate);
    m_columnCombo->setItemIcon(index, fieldTemplate.isEmpty() ? QIcon() : m_assignedIcon);
}

void Dialog::onColumnChanged()
{
    const QString column = m_columnCombo->currentData(Qt::UserRole).toString();
    const QString fieldTemplate = m_columnTemplates.value(column).toString();
    m_typeCombo->setCurrentIndex(m_typeCombo->findData(fieldTemplate, Qt::UserRole,
                                                       Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void Dialog::refillTypeCombo()
{
    const QString current = m_typeCombo->currentText();
    m_typeCombo->clear();
    m_typeCombo->addItem(QString(), QString());
    for (const auto &[label, placeholder] : parseFieldTypeList())
        m_typeCombo->addItem(label, placeholder);
    m_typeCombo->setCurrentText(current);
    m_typeCombo->setMaxVisibleItems(m_typeCombo->count());
}

QList<std::pair<QString, QString>> Dialog::parseFieldTypeList() const
{
    return ::parseFieldTypeList(m_fieldTypeListText);
}

void Dialog::setCsvOptionsEnabled(bool enabled)
{
    if (auto *relaxed = kivra::findWidget<QCheckBox>(
            &m_optionMap, QStringLiteral("csv_input_relaxed"), kivra::kCheckBox))
        relaxed->setEnabled(enabled);
    for (const char *name :
         {"text_encoding", "sep_data_field", "sep_data_string", "sep_data_string_esc"}) {
        if (auto *combo =
                kivra::findWidget<QComboBox>(&m_optionMap, QLatin1String(name), kivra::kComboBox))
            combo->setEnabled(enabled);
    }
}

int Dialog::showHelp()
{
    openBesideProgram(this, QStringLiteral("/vondrel.html"));
    return 0;
}

int Dialog::showLicenses()
{
    openBesideProgram(this, QStringLiteral("/licenses.html"));
    return 0;
}
