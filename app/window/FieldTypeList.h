#pragma once

#include <QList>
#include <QString>

#include <utility>

// The field types offered per column, as text: one line "label;placeholder" per type,
// ended by CR LF, with the labels in the user's language.
QString makeFieldTypeListText();

// The (label, placeholder) pairs of such a text, both trimmed, sorted by label. Lines
// without exactly one ";" or with an empty label are skipped.
QList<std::pair<QString, QString>> parseFieldTypeList(const QString &text);
