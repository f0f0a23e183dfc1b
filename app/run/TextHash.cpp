#include "TextHash.h"

#include <QHashSeed>

#include <cstdint>
#include <cstring>

namespace {

using Word = std::uint64_t;

constexpr Word rotl(Word x, int bits)
{
    return (x << bits) | (x >> (64 - bits));
}

struct State
{
    Word v0;
    Word v1;
    Word v2;
    Word v3;

    void round()
    {
        v0 += v1;
        v1 = rotl(v1, 13);
        v1 ^= v0;
        v0 = rotl(v0, 32);
        v2 += v3;
        v3 = rotl(v3, 16);
        v3 ^= v2;
        v0 += v3;
        v3 = rotl(v3, 21);
        v3 ^= v0;
        v2 += v1;
        v1 = rotl(v1, 17);
        v1 ^= v2;
        v2 = rotl(v2, 32);
    }

    void absorb(Word m)
    {
        v3 ^= m;
        round();
        v0 ^= m;
    }
};

struct Key
{
    Word k0;
    Word k1;
};

Key processKey()
{
    // Qt's seed is random per process unless the environment fixes it (QT_HASH_SEED); the
    // second half is spread from it, so that both halves change together.
    const auto seed = Word(QHashSeed::globalSeed());
    Word spread = seed + 0x9e3779b97f4a7c15u;
    spread = (spread ^ (spread >> 30)) * 0xbf58476d1ce4e5b9u;
    spread = (spread ^ (spread >> 27)) * 0x94d049bb133111ebu;
    return {seed, spread ^ (spread >> 31)};
}

} // namespace

size_t TextHash::of(QStringView text)
{
    static const Key key = processKey();
    State state {key.k0 ^ 0x736f6d6570736575u, key.k1 ^ 0x646f72616e646f6du,
                 key.k0 ^ 0x6c7967656e657261u, key.k1 ^ 0x7465646279746573u};
    const auto *bytes = reinterpret_cast<const unsigned char *>(text.data());
    const auto size = size_t(text.size()) * sizeof(char16_t);
    const size_t whole = size & ~size_t(7);
    for (size_t at = 0; at < whole; at += sizeof(Word)) {
        Word m;
        std::memcpy(&m, bytes + at, sizeof m);
        state.absorb(m);
    }
    // The last, partial word (at most six bytes) carries the length in its top byte.
    Word last = 0;
    if (size > whole)
        std::memcpy(&last, bytes + whole, size - whole);
    state.absorb(last | (Word(size) << 56));
    state.v2 ^= 0xff;
    state.round();
    state.round();
    state.round();
    return size_t(state.v0 ^ state.v1 ^ state.v2 ^ state.v3);
}
