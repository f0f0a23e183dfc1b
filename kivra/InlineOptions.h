#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace kivra {

// The delimiters of an option written into a caption: {{key}{value}}.
QStringList inlineOptionDelimiters();

// Takes every option written as open, key, middle, value, close out of text and stores
// options[key.trimmed()] = value (untrimmed); an empty key is dropped. With only two
// delimiters the text between them is the key and the value is empty. An opening
// delimiter without the rest of the pattern stops the parse and stays caption text.
// Returns whether an option was stored.
bool parseInlineOptions(const QStringList &delimiters, QString &text, QVariantMap &options);

} // namespace kivra
