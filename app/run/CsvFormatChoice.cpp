#include "CsvFormatChoice.h"

#include <engine/EngineTables.h>
#include <tables/CsvSniffer.h>
#include <tables/QxtCsvModel.h>

#include <QStringConverter>
#include <QTextCodec>

QChar csvSeparatorForId(int id)
{
    return separatorTable.value(id, QChar(u';'));
}

int csvSeparatorId(QChar separator)
{
    for (auto it = separatorTable.cbegin(); it != separatorTable.cend(); ++it) {
        if (it.value() == separator)
            return it.key();
    }
    return 0;
}

int csvQuoteMode(int quoteChoice, int escapeChoice, bool relaxed, bool forWriting)
{
    int mode = quoteChoice | escapeChoice;
    if (relaxed)
        mode |= QxtCsvModel::RelaxedInput;
    if (mode & QxtCsvModel::QuoteDouble)
        mode &= ~QxtCsvModel::QuoteSingle;
    if (forWriting && (mode & (QxtCsvModel::QuoteSingle | QxtCsvModel::QuoteDouble)))
        mode |= QxtCsvModel::QuoteAlways;
    return mode;
}

QTextCodec *csvCodecForName(const QString &name)
{
    if (name.isEmpty())
        return nullptr;
    // The toolkit no longer knows "System" by name; it is the locale's encoding.
    if (name == QLatin1String("System"))
        return QTextCodec::codecForLocale();
    return QTextCodec::codecForName(name.toUtf8());
}

QString csvEncodingName(const CsvSniffResult &detected)
{
    return QString::fromLatin1(
        QStringConverter::nameForEncoding(QStringConverter::Encoding(detected.encoding)));
}

int csvDetectedRowOffset(const CsvSniffResult &detected)
{
    // The offset counts from 0 and the row offset from 1; one more would make the first
    // record the title, which is then never pseudonymised.
    return detected.headerRowOffset + 1;
}
