#pragma once

#include <QStringList>
#include <QTranslator>

#include <memory>

// The program speaks German, its own language, when the system's user interface
// language list holds German anywhere ("de" or "de-..."); otherwise English from
// the embedded translation.
bool isGermanUiLanguage(const QStringList &uiLanguages);

// Loads the embedded English translation; false when it cannot be loaded.
bool loadEnglishTranslation(QTranslator &translator);

// Installs the translation for the language of uiLanguages and returns it; it stays installed
// until it is deleted. In German that is Qt's own German translation from qtTranslationsDir,
// so that the dialogs Qt draws (files, colours, message boxes) speak German too; otherwise the
// embedded English. Null when there is none to load: the texts then stay as they are.
std::unique_ptr<QTranslator> installUiTranslation(const QStringList &uiLanguages,
                                                  const QString &qtTranslationsDir);
