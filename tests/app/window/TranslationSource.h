#pragma once

#include <QList>
#include <QString>

// The entries of the translation source, read as the compiler of the translation reads them.
struct TranslationEntry
{
    QString context;
    QString source;
    QString translation;
    // False for an entry marked unfinished or obsolete, which is not compiled.
    bool finished = true;
};

// Empty with an error text when the file cannot be read or parsed.
QList<TranslationEntry> readTranslationSource(const QString &path, QString *error);
