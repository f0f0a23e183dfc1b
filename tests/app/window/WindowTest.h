#pragma once

#include "AppTest.h"

#include <kivra/Registry.h>
#include <window/Dialog.h>

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

// The base of the main window's tests: each test function gets a new window over a fresh
// settings folder, and drives it through its own widgets as a user does.
class WindowTest : public AppTest
{
    Q_OBJECT

protected slots:
    // The window's prompts are noted as the notices are.
    void initTestCase();
    void init();
    // The window goes before the prompts are checked: closing may prompt too.
    void cleanup();

protected:
    // A window in place of the current one, over the same settings folder.
    void newDialog();

    template<class T>
    T *field(const char *name, int code) const
    {
        return kivra::findWidget<T>(&m_dialog->optionMap(), QLatin1String(name), code);
    }
    QComboBox *combo(const char *name) const { return field<QComboBox>(name, kivra::kComboBox); }
    QListWidget *emptyFields() const
    {
        return field<QListWidget>("empty_data_fields", kivra::kListWidget);
    }
    QCheckBox *checkBox(const char *name) const { return field<QCheckBox>(name, kivra::kCheckBox); }
    QComboBox *columns() const { return m_dialog->findChild<QComboBox *>("columnCombo"); }
    QComboBox *types() const { return m_dialog->findChild<QComboBox *>("typeCombo"); }

    // Types text into a file name field of the form.
    void setText(const char *name, const QString &text);
    void choose(const QString &inputPath) { setText("input_filename", inputPath); }
    void press(const char *name) { field<QPushButton>(name, kivra::kPushButton)->click(); }
    // "Zuweisen" with the given field type for the given column; an empty one takes it back.
    void assignType(int column, const QString &placeholder);

    QStringList columnCaptions() const;
    // The columns that show the dot of an assigned field type.
    QList<int> markedColumns() const;
    QList<int> clearedColumns() const;
    // The values the options file holds now.
    QVariantMap storedOptions() const;

    std::unique_ptr<QTemporaryDir> m_settingsDir;
    std::unique_ptr<Dialog> m_dialog;
};
