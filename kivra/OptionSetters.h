#pragma once

#include <QLocale>
#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace kivra {

// Each setter returns the changed copy of the map, so calls chain while a record's
// options are built: optMaxwidth(optTitle({}, tr("Ab Zeile:")), kNumberSpinBox, 100).

QVariantMap optionsWithTitle(const QString &caption);
QVariantMap setOption(QVariantMap map, const QString &key, const QVariant &value);

QVariantMap optTitle(QVariantMap map, const QString &title);
QVariantMap optPlaintitle(QVariantMap map, const QString &title);
QVariantMap optGroupsep(QVariantMap map, bool on);
QVariantMap optInifileName(QVariantMap map, const QString &fileName);
QVariantMap optInigroupname(QVariantMap map, const QString &group);
QVariantMap optIniseparatekeys(QVariantMap map, bool on);
QVariantMap optLocale(QVariantMap map, const QLocale &locale);
QVariantMap optMetatype(QVariantMap map, int metaTypeId);
QVariantMap optMin(QVariantMap map, const QVariant &min);
QVariantMap optPrecision(QVariantMap map, int decimals);
QVariantMap optSignedDatatype(QVariantMap map, bool isSigned);
QVariantMap optSpinbox(QVariantMap map, bool showButtons);
QVariantMap optSpinboxSinglestep(QVariantMap map, const QVariant &step);

// Keys per widget kind, sub-kind or index ("maxwidth50006", "indexalign1").
QVariantMap optMaxwidth(QVariantMap map, int kind, int width);
QVariantMap optSizepolicyh(QVariantMap map, int kind, int policy);
QVariantMap optSizepolicyv(QVariantMap map, int kind, int policy);
QVariantMap optStretch(QVariantMap map, int kind, int stretch);
QVariantMap optTypealign(QVariantMap map, int kind, int alignment);
QVariantMap optIndexalign(QVariantMap map, int index, int alignment);

} // namespace kivra
