#pragma once

#include <QByteArray>

// True for a key too regular to protect pseudonyms: empty, one repeated byte,
// fewer than 6 distinct bytes, or a byte entropy below 3.5 bits.
bool isWeakKey(const QByteArray &key);
