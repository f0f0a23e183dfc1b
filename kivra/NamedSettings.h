#pragma once

#include <kivra/Records.h>

#include <QComboBox>
#include <QMap>
#include <QPointer>
#include <QSharedPointer>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <QWidget>

// The named-setting selector: a combo box of the configurations a form keeps side by side in
// its options file, with a "+" button that creates one and a "-" button that deletes one.
namespace kivra {

// What the selector's connections hand their handlers.
struct SettingSelectorContext
{
    // Parent of every question and of the name prompt.
    QPointer<QWidget> window;
    // Its entries: text and user data both the configuration's name.
    QPointer<QComboBox> comboBox;
    // The window record's options: inifileName, inigroupname, iniautosave.
    QVariantMap windowOptions;
    // The form's value map; may be null.
    QMap<QString, QVariant> *vars = nullptr;
    // Keeps a map that the builder owns alive as long as the connection exists.
    QSharedPointer<QMap<QString, QVariant>> keepAlive;
    // Every save takes the kept names only while the filter is on.
    CloseSaveInfo closeSave;
};

// The combo box's currentIndexChanged(int); the index is not used, the current entry is.
// Offers to save the former configuration (saves it without asking with iniautosave, or when
// the new one is not stored yet), remembers the new one and loads its values into the form.
void onSettingSelected(const SettingSelectorContext &context, int index);

// The "+" button: offers to save the current configuration, asks for a name (letters and
// digits only, lower case), and stores the form's values under it as the new current one.
// An empty or existing name is ignored.
void onNewSetting(const SettingSelectorContext &context);

// The "-" button: after a question removes the current configuration from the options file
// and switches to its neighbour. The only entry left is never deleted.
void onDeleteSetting(const SettingSelectorContext &context);

} // namespace kivra
