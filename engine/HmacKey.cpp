#include "HmacKey.h"

#include "EngineLogging.h"

#include <QMessageAuthenticationCode>
#include <QtEndian>

#include <openssl/evp.h>

#include <cstring>

namespace {

constexpr int blockSize = 64;

struct MdContextDeleter
{
    void operator()(EVP_MD_CTX *context) const { EVP_MD_CTX_free(context); }
};
using MdContext = std::unique_ptr<EVP_MD_CTX, MdContextDeleter>;

const EVP_MD *sha256()
{
    // Fetched once: looking the digest up per message would cost more than hashing it.
    static const EVP_MD *md = EVP_MD_fetch(nullptr, "SHA256", nullptr);
    return md;
}

bool hashInto(EVP_MD_CTX *context, QByteArrayView first, QByteArrayView second, uchar *digest)
{
    unsigned int length = 0;
    return EVP_DigestUpdate(context, first.data(), size_t(first.size())) == 1 &&
        EVP_DigestUpdate(context, second.data(), size_t(second.size())) == 1 &&
        EVP_DigestFinal_ex(context, digest, &length) == 1 && length == 32;
}

// Qt's own implementation; slower, used only when libcrypto cannot serve.
HmacDigest qtMac(const QByteArray &key, QByteArrayView message, QByteArrayView suffix)
{
    QMessageAuthenticationCode code(QCryptographicHash::Sha256, key);
    code.addData(message.data(), message.size());
    code.addData(suffix.data(), suffix.size());
    const QByteArray result = code.result();
    HmacDigest digest;
    std::memcpy(digest.data(), result.constData(), digest.size());
    return digest;
}

} // namespace

struct HmacKey::State
{
    MdContext inner;
    MdContext outer;
};

HmacKey::HmacKey(const QByteArray &key)
    : m_bytes(key)
{
    const EVP_MD *md = sha256();
    if (!md) {
        qCCritical(lcEngine) << "SHA-256 is not available from libcrypto";
        return;
    }

    uchar block[blockSize] = {};
    if (key.size() > blockSize) {
        unsigned int length = 0;
        if (EVP_Digest(key.constData(), size_t(key.size()), block, &length, md, nullptr) != 1)
            return;
    } else {
        std::memcpy(block, key.constData(), size_t(key.size()));
    }

    auto state = std::make_shared<State>();
    state->inner.reset(EVP_MD_CTX_new());
    state->outer.reset(EVP_MD_CTX_new());
    uchar innerPad[blockSize];
    uchar outerPad[blockSize];
    for (int i = 0; i < blockSize; ++i) {
        innerPad[i] = block[i] ^ 0x36;
        outerPad[i] = block[i] ^ 0x5c;
    }
    const bool ok = state->inner && state->outer &&
        EVP_DigestInit_ex(state->inner.get(), md, nullptr) == 1 &&
        EVP_DigestUpdate(state->inner.get(), innerPad, blockSize) == 1 &&
        EVP_DigestInit_ex(state->outer.get(), md, nullptr) == 1 &&
        EVP_DigestUpdate(state->outer.get(), outerPad, blockSize) == 1;
    if (ok)
        m_state = std::move(state);
    else
        qCCritical(lcEngine) << "Could not prepare an HMAC key with libcrypto";
}

HmacDigest HmacKey::mac(QByteArrayView message, QByteArrayView suffix) const
{
    // One scratch context per thread keeps the shared state read-only.
    thread_local const MdContext work(EVP_MD_CTX_new());

    HmacDigest innerDigest;
    HmacDigest digest;
    const bool ok = m_state && work && EVP_MD_CTX_copy_ex(work.get(), m_state->inner.get()) == 1 &&
        hashInto(work.get(), message, suffix, innerDigest.data()) &&
        EVP_MD_CTX_copy_ex(work.get(), m_state->outer.get()) == 1 &&
        hashInto(work.get(), QByteArrayView(innerDigest.data(), qsizetype(innerDigest.size())), {},
                 digest.data());
    if (ok)
        return digest;
    return qtMac(m_bytes, message, suffix);
}

QByteArray hmacSha256(const HmacKey &key, QByteArrayView message)
{
    const HmacDigest digest = key.mac(message);
    return QByteArray(reinterpret_cast<const char *>(digest.data()), qsizetype(digest.size()));
}

QByteArray hmacCounterStream(const HmacKey &key, QByteArrayView data, int n)
{
    QByteArray out;
    if (n <= 0)
        return out;
    out.reserve(n + 32);
    for (quint32 counter = 0; out.size() < n; ++counter) {
        uchar counterBytes[4];
        qToLittleEndian(counter, counterBytes);
        const HmacDigest block = key.mac(data, QByteArrayView(counterBytes, 4));
        out.append(reinterpret_cast<const char *>(block.data()), qsizetype(block.size()));
    }
    out.truncate(n);
    return out;
}
