#include "UiLanguage.h"

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
