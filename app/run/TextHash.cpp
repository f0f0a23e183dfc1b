#include "TextHash.h"

#include <QHashSeed>

#include <cstdint>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VONDREL_AES_HASH 1
#include <immintrin.h>
#endif

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

const Key &hashKey()
{
    static const Key key = processKey();
    return key;
}

#ifdef VONDREL_AES_HASH
#define VONDREL_AES_TARGET __attribute__((target("aes,sse4.1")))

VONDREL_AES_TARGET inline __m128i absorbBlock(__m128i state, __m128i block, __m128i key0,
                                              __m128i key1)
{
    return _mm_aesenc_si128(_mm_aesenc_si128(_mm_xor_si128(state, block), key0), key1);
}

// Two AES rounds per 16 bytes under secret round keys, three more at the end; the length
// goes into the starting state, so texts that differ only in trailing zero bytes differ.
VONDREL_AES_TARGET size_t aesHashOf(const unsigned char *bytes, size_t size)
{
    const Key &k = hashKey();
    const __m128i key0 = _mm_set_epi64x(qint64(k.k1), qint64(k.k0));
    const __m128i key1 =
        _mm_set_epi64x(qint64(k.k0 ^ 0x736f6d6570736575u), qint64(k.k1 ^ 0x646f72616e646f6du));
    __m128i state = _mm_xor_si128(key1, _mm_set_epi64x(0, qint64(size)));
    size_t at = 0;
    for (; size - at >= 16; at += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + at));
        state = absorbBlock(state, block, key0, key1);
    }
    if (at < size) {
        unsigned char tail[16] = {};
        std::memcpy(tail, bytes + at, size - at);
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(tail));
        state = absorbBlock(state, block, key0, key1);
    }
    state = _mm_aesenc_si128(state, key0);
    state = _mm_aesenc_si128(state, key1);
    state = _mm_aesenc_si128(state, key0);
    return size_t(quint64(_mm_cvtsi128_si64(state)) ^ quint64(_mm_extract_epi64(state, 1)));
}

bool hasAes()
{
    static const bool has = __builtin_cpu_supports("aes") && __builtin_cpu_supports("sse4.1");
    return has;
}
#endif

} // namespace

size_t TextHash::of(QStringView text)
{
#ifdef VONDREL_AES_HASH
    if (hasAes())
        return aesHashOf(reinterpret_cast<const unsigned char *>(text.data()),
                         size_t(text.size()) * sizeof(char16_t));
#endif
    return portableOf(text);
}

size_t TextHash::portableOf(QStringView text)
{
    const Key &key = hashKey();
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
