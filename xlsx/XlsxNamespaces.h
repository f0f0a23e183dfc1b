#pragma once

#include <QString>

namespace QXlsx {

// The XML namespaces and relationship types of the parts this layer writes.
inline const QString MainNamespace =
    QStringLiteral("http://schemas.openxmlformats.org/spreadsheetml/2006/main");
inline const QString RelationshipsNamespace =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
inline const QString PackageRelationshipsNamespace =
    QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships");
inline const QString ContentTypesNamespace =
    QStringLiteral("http://schemas.openxmlformats.org/package/2006/content-types");

} // namespace QXlsx
