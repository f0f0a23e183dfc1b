#pragma once

#include <QByteArray>

// The key of a run: the stored key when it is usable, else a new random one that the caller
// must store before anything is written with it.
struct RunKey
{
    static RunKey choose(const QByteArray &stored);
    // 16 or 32 bytes that pass the weak-key test.
    static bool isUsable(const QByteArray &key);
    // 16 random bytes (from a random UUID) that pass the weak-key test.
    static QByteArray generate();

    QByteArray key;
    bool isNew = false;
};
