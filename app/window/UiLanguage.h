#pragma once

#include <QStringList>

class QTranslator;

// The program speaks German, its own language, when the system's user interface
// language list holds German anywhere ("de" or "de-..."); otherwise English from
// the embedded translation.
bool isGermanUiLanguage(const QStringList &uiLanguages);

// Loads the embedded English translation; false when it cannot be loaded.
bool loadEnglishTranslation(QTranslator &translator);
