#pragma once

#include <kivra/Records.h>

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

class QComboBox;
class QPushButton;

// The main window as data: the field records that the form builder turns into the window,
// and the contents of its combo boxes.

// What the records bind to: the window's own values and the widgets it makes itself.
struct MainFormBindings
{
    QVariant *inputFilename = nullptr;
    QVariant *inputRowOffset = nullptr;
    QVariant *csvInputRelaxed = nullptr;
    QVariant *inputHasTitle = nullptr;
    QVariant *inputEditable = nullptr;
    kivra::T_LISTDATA *emptyFieldItems = nullptr;
    QComboBox *columnCombo = nullptr;
    QComboBox *typeCombo = nullptr;
    QPushButton *assignButton = nullptr;
    QVariant *exportFilename = nullptr;
    QVariant *createExportMapFile = nullptr;
    QVariant *scriptUse = nullptr;
    QVariant *scriptFilename = nullptr;
    // Called by the buttons "Hilfe" and "Lizenzen".
    kivra::ContextCallback showHelp;
    kivra::ContextCallback showLicenses;
};

// The 55 field records of the main window, in display order.
QList<kivra::INFO> mainFormFields(const MainFormBindings &bindings);

// The encodings offered besides automatic detection, sorted case-insensitively; a current
// name that is not offered yet is added.
QStringList fillEncodingList(const QString &current);

// The list data of the four CSV option combo boxes.
kivra::T_LISTDATA encodingListData();
kivra::T_LISTDATA separatorListData();
kivra::T_LISTDATA quoteModeListData();
kivra::T_LISTDATA escapeModeListData();

// The options of the spin box "Ab Zeile:".
QVariantMap rowOffsetOptions();
