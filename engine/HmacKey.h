#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <memory>

namespace vondrel {

using HmacDigest = std::array<uchar, 32>;

// A key for HMAC-SHA256 with its padded key blocks hashed once, so that each
// message costs only the hashing of the message itself. Copies share the
// precomputed state, which never changes after construction, so one key may be
// used from several threads.
class HmacKey
{
public:
    // Implicit on purpose: every function taking a key also accepts raw key bytes.
    HmacKey(const QByteArray &key = QByteArray());

    const QByteArray &bytes() const { return m_bytes; }

    // HMAC-SHA256 over message followed by suffix (the suffix saves a copy when
    // a counter or tag is appended to the message).
    HmacDigest mac(QByteArrayView message, QByteArrayView suffix = {}) const;

private:
    struct State;

    QByteArray m_bytes;
    std::shared_ptr<const State> m_state;
};

} // namespace vondrel

// HMAC-SHA256 (RFC 2104) of message under key: 32 bytes.
QByteArray hmacSha256(const vondrel::HmacKey &key, QByteArrayView message);

// n bytes of HMAC(key, data || counter) blocks, the 32-bit counter starting at 0
// and written least significant byte first. Empty when n <= 0.
QByteArray hmacCounterStream(const vondrel::HmacKey &key, QByteArrayView data, int n);
