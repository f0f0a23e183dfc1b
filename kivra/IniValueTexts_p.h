#pragma once

#include <QByteArrayView>
#include <QString>

#include <functional>

namespace kivra {

// Finds the value texts of INI content exactly as QSettings reads them before it turns them
// into variants: the content is split into sections and lines the way QSettings splits it
// (comments, quotes, line continuations, a byte order mark), each value is unescaped as it
// unescapes it, and a value with an unquoted comma yields each of its items. A text found here
// that differs from the one QSettings decodes would let an unchecked value through, so every
// rule of its reader is followed, however odd. Keys and section names are not needed.
//
// Calls visit with every value text in the order of the content and stops at the first one
// that visit refuses; false then, true when every text was accepted.
bool visitIniValueTexts(QByteArrayView content,
                        const std::function<bool(const QString &text)> &visit);

} // namespace kivra
