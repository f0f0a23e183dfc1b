#pragma once

#include "FieldTypes.h"
#include "HmacKey.h"
#include "PseudoSettings.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariant>

#include <array>

struct PseudoContext;

// The engine of one run: one key turned into a master key and a pair of subkeys
// per keyed field type, and the rules that turn a cell value into its
// pseudonym. Immutable after construction; equal keys give equal pseudonyms in
// every run, byte for byte.
class Pseudonymizer
{
public:
    // key may have any length: 32 bytes are used as the master key, anything
    // else is hashed with SHA-256 first. The engine keeps its own copies.
    Pseudonymizer(QByteArray key, const PseudoSettings &settings = PseudoSettings());

    // Resolves a column template for one cell: the placeholders found in
    // template (in placeholder-table order) are replaced by the pseudonym of
    // their field type. typeOut receives the id of the last placeholder applied
    // (0 when there was none); groupSeparatorOut the group separator detected
    // in an amount or integer; valueOut the typed result of amounts, integers,
    // dates and date-times. sourceValue is read by the date types only.
    static QString replacePlaceholders(PseudoContext &context, const QString &sourceText,
                                       const QVariant &sourceValue, QString templateText,
                                       int &typeOut, QChar *groupSeparatorOut = nullptr,
                                       QVariant *valueOut = nullptr);

    // replacePlaceholders for a template that is exactly the placeholder of type, any type
    // but <NUM> and <UUID>: for callers that resolve many values of one template and have
    // looked its type up once.
    static QString replaceWholeValue(PseudoContext &context, FieldType type,
                                     const QString &sourceText, const QVariant &sourceValue,
                                     QChar *groupSeparatorOut = nullptr,
                                     QVariant *valueOut = nullptr);

    // The pseudonym of a keyed type 1 to 13; empty for any other type.
    QString keyedPseudonym(FieldType type, const QString &text) const;
    // date moved by a keyed number of days; one offset for all dates when
    // perDataSet is set, else one per distinct date.
    QDate shiftDate(const QDate &date, bool perDataSet) const;
    // dateTime moved by keyed days and seconds for scope (empty: "dataset").
    QDateTime shiftDateTimeForDataset(const QDateTime &dateTime, const QByteArray &scope) const;

    const QByteArray &masterKey() const { return m_masterKey; }
    const PseudoSettings &settings() const { return m_settings; }
    // The subkeys of a keyed type (1 to 13, 21, 22); an empty key for other types.
    const vondrel::HmacKey &subkey(FieldType type) const;
    const vondrel::HmacKey &extSubkey(FieldType type) const;

    // A keyed offset in [-range, range] for scope; a negative range counts as 0.
    static int scopedOffset(const vondrel::HmacKey &key, QByteArrayView scope, int range);
    // n keyed decimal digits of the normalised text, leading zeros kept; "0" when n <= 0.
    static QString keyedDigitString(const QString &text, const vondrel::HmacKey &key, int n);
    // prefix + len1 letters from key + len2 letters from extKey, over the normalised text.
    static QString keyedLetterToken(const QString &text, const vondrel::HmacKey &key,
                                    const vondrel::HmacKey &extKey, const QString &prefix, int len1,
                                    int len2);
    // As keyedLetterToken, with decimal digits.
    static QString keyedDigitToken(const QString &text, const vondrel::HmacKey &key,
                                   const vondrel::HmacKey &extKey, const QString &prefix, int len1,
                                   int len2);

private:
    struct KeyPair
    {
        vondrel::HmacKey subkey;
        vondrel::HmacKey extSubkey;
    };

    QString tokenFor(FieldType type, const QString &text) const;
    QString digitTokenFor(FieldType type, const QString &text) const;
    QString emailPseudonym(const QString &text) const;
    QString streetPseudonym(const QString &text) const;
    QString vatPseudonym(const QString &text) const;
    QString ipPseudonym(const QString &text) const;
    const KeyPair &keyPair(FieldType type) const;

    // The offsets of the scope "dataset", which every date shares in the usual mode.
    struct DatasetShift
    {
        int dateDays = 0;
        int dateTimeDays = 0;
        int dateTimeSeconds = 0;
    };

    QByteArray m_masterKey;
    PseudoSettings m_settings;
    // Types 1 to 13, then 21 and 22.
    std::array<KeyPair, 15> m_keys;
    DatasetShift m_datasetShift;
};
