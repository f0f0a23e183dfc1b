#include "UiLanguage.h"

#include "UiLog.h"

#include <QCoreApplication>
#include <QTranslator>

#include <algorithm>

bool isGermanUiLanguage(const QStringList &uiLanguages)
{
    return std::any_of(uiLanguages.cbegin(), uiLanguages.cend(), [](const QString &language) {
        return language.compare(QLatin1String("de"), Qt::CaseInsensitive) == 0 ||
            language.startsWith(QLatin1String("de-"), Qt::CaseInsensitive);
    });
}

bool loadEnglishTranslation(QTranslator &translator)
{
    // The translator's own search drops the trailing "_ts" and finds ":/i18n/lumbra_en.qm".
    return translator.load(QStringLiteral(":/i18n/lumbra_%1_ts").arg(QLatin1String("en")));
}

std::unique_ptr<QTranslator> installUiTranslation(const QStringList &uiLanguages,
                                                  const QString &qtTranslationsDir)
{
    auto translator = std::make_unique<QTranslator>();
    // Only the base module's texts: the program uses no dialog of another Qt module.
    const bool loaded = isGermanUiLanguage(uiLanguages)
        ? translator->load(QStringLiteral("qtbase_de"), qtTranslationsDir)
        : loadEnglishTranslation(*translator);
    if (!loaded || !QCoreApplication::installTranslator(translator.get())) {
        qCInfo(lcUi) << "No translation installed for" << uiLanguages;
        return nullptr;
    }
    return translator;
}
