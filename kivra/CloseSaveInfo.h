#pragma once

#include <QSet>
#include <QString>

namespace kivra {

// What the save on close needs from the builder: while filterKeys is on only the kept
// names are saved, otherwise every entry of the value map.
struct CloseSaveInfo
{
    bool filterKeys = true;
    QSet<QString> keptNames;
};

} // namespace kivra
