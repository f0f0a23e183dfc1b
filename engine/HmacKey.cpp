// The low-level SHA-256 interface lets a prepared key state be copied as a plain
// struct; the EVP interface would allocate and free a context for every message.
#define OPENSSL_API_COMPAT 0x10100000L

#include "HmacKey.h"

#include <QtEndian>

#include <openssl/sha.h>

#include <cstring>

namespace {

constexpr int blockSize = 64;

// Finishes a hash whose blocks so far are whole with text that fits into one last block
// beside its padding: the block is padded here and compressed once. Keyed values are short,
// so this is the usual way, and it spares the general functions' bookkeeping and wiping.
bool hashLastBlockInto(SHA256_CTX &context, QByteArrayView first, QByteArrayView second,
                       uchar *digest)
{
    const qsizetype length = first.size() + second.size();
    // One marker byte and the 64-bit length follow the text.
    if (context.num != 0 || length > blockSize - 9)
        return false;
    uchar block[blockSize] = {};
    if (!first.isEmpty())
        std::memcpy(block, first.data(), size_t(first.size()));
    if (!second.isEmpty())
        std::memcpy(block + first.size(), second.data(), size_t(second.size()));
    block[length] = 0x80;
    const quint64 bits = ((quint64(context.Nh) << 32) | context.Nl) + quint64(length) * 8;
    qToBigEndian(bits, block + blockSize - 8);
    SHA256_Transform(&context, block);
    for (int i = 0; i < 8; ++i)
        qToBigEndian(quint32(context.h[i]), digest + 4 * i);
    return true;
}

// The SHA-256 functions cannot fail on valid arguments; their results carry no information.
void hashInto(SHA256_CTX context, QByteArrayView first, QByteArrayView second, uchar *digest)
{
    if (hashLastBlockInto(context, first, second, digest))
        return;
    SHA256_Update(&context, first.data(), size_t(first.size()));
    SHA256_Update(&context, second.data(), size_t(second.size()));
    SHA256_Final(digest, &context);
}

} // namespace

namespace vondrel {

struct HmacKey::State
{
    SHA256_CTX inner;
    SHA256_CTX outer;
};

HmacKey::HmacKey(const QByteArray &key)
    : m_bytes(key)
{
    uchar block[blockSize] = {};
    if (key.size() > blockSize)
        SHA256(reinterpret_cast<const uchar *>(key.constData()), size_t(key.size()), block);
    else
        std::memcpy(block, key.constData(), size_t(key.size()));

    uchar innerPad[blockSize];
    uchar outerPad[blockSize];
    for (int i = 0; i < blockSize; ++i) {
        innerPad[i] = block[i] ^ 0x36;
        outerPad[i] = block[i] ^ 0x5c;
    }
    auto state = std::make_shared<State>();
    SHA256_Init(&state->inner);
    SHA256_Update(&state->inner, innerPad, blockSize);
    SHA256_Init(&state->outer);
    SHA256_Update(&state->outer, outerPad, blockSize);
    m_state = std::move(state);
}

HmacDigest HmacKey::mac(QByteArrayView message, QByteArrayView suffix) const
{
    HmacDigest innerDigest;
    hashInto(m_state->inner, message, suffix, innerDigest.data());
    HmacDigest digest;
    hashInto(m_state->outer, QByteArrayView(innerDigest.data(), qsizetype(innerDigest.size())), {},
             digest.data());
    return digest;
}

} // namespace vondrel

QByteArray hmacSha256(const vondrel::HmacKey &key, QByteArrayView message)
{
    const vondrel::HmacDigest digest = key.mac(message);
    return QByteArray(reinterpret_cast<const char *>(digest.data()), qsizetype(digest.size()));
}

QByteArray hmacCounterStream(const vondrel::HmacKey &key, QByteArrayView data, int n)
{
    QByteArray out;
    if (n <= 0)
        return out;
    out.reserve(n + 32);
    for (quint32 counter = 0; out.size() < n; ++counter) {
        uchar counterBytes[4];
        qToLittleEndian(counter, counterBytes);
        const vondrel::HmacDigest block = key.mac(data, QByteArrayView(counterBytes, 4));
        out.append(reinterpret_cast<const char *>(block.data()), qsizetype(block.size()));
    }
    out.truncate(n);
    return out;
}
