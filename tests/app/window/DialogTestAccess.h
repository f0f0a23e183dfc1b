#pragma once

#include <window/Dialog.h>

#include <QTableView>

// What the tests read of a window's loaded state and settings.
struct DialogTestAccess
{
    static QTableView *inputView(const Dialog &dialog) { return dialog.m_inputView; }
    static QTableView *outputView(const Dialog &dialog) { return dialog.m_outputView; }
    static QVariant loadedInputName(const Dialog &dialog) { return dialog.m_loadedInputName; }
    static QByteArray rawInput(const Dialog &dialog) { return dialog.m_rawInput; }
    static bool inputHasBom(const Dialog &dialog) { return dialog.m_inputHasBom; }
    static QVariant rowOffset(const Dialog &dialog) { return dialog.m_inputRowOffset; }
    static QMap<QString, QVariant> templates(const Dialog &dialog)
    {
        return dialog.m_columnTemplates;
    }
    // The value the run reads for one of the 18 settings.
    static QVariant setting(const Dialog &dialog, const QString &key)
    {
        return dialog.m_settings.value(key);
    }
    static vondrel::DateTextSettings dateText(const Dialog &dialog)
    {
        return dialog.dateTextSettings();
    }
    static bool loadOutput(Dialog &dialog) { return dialog.reloadInput(true, false, nullptr); }
    // The 18 settings take the value map's entries, as after a load.
    static void takeSettings(Dialog &dialog) { dialog.takeSettingsFromOptionMap(); }
};
