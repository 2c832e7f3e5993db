// SHA1_Transform is the one-block step of the library's SHA-1 (hardware-assisted where the
// processor has it); OpenSSL 3 lists it as deprecated in favour of the EVP calls, whose per-call
// bookkeeping is what makes the engine's own derivation slow.
#define OPENSSL_SUPPRESS_DEPRECATED

#include "db/CipherKey.h"

#include <QFile>
#include <openssl/crypto.h>
#include <openssl/sha.h>
#include <array>
#include <cstdint>
#include <cstring>

namespace CipherKey {

namespace {

constexpr int DigestBytes = SHA_DIGEST_LENGTH;  // 20
constexpr int BlockBytes = SHA_CBLOCK;          // 64

void putDigest(const SHA_CTX& c, unsigned char* out)
{
    const uint32_t h[5] = {c.h0, c.h1, c.h2, c.h3, c.h4};
    for (int j = 0; j < 5; ++j) {
        out[4 * j] = static_cast<unsigned char>(h[j] >> 24);
        out[4 * j + 1] = static_cast<unsigned char>(h[j] >> 16);
        out[4 * j + 2] = static_cast<unsigned char>(h[j] >> 8);
        out[4 * j + 3] = static_cast<unsigned char>(h[j]);
    }
}

}  // namespace

QByteArray pbkdf2Sha1(const QByteArray& password, const QByteArray& salt, int rounds, int length)
{
    if (rounds < 1 || length < 1)
        return {};
    // HMAC's key block: the password, or its digest when longer than a block, padded with zeros.
    unsigned char key[BlockBytes] = {};
    if (password.size() > BlockBytes)
        SHA1(reinterpret_cast<const unsigned char*>(password.constData()), password.size(), key);
    else
        std::memcpy(key, password.constData(), password.size());
    unsigned char pad[BlockBytes];
    // The inner and outer hashes after their padded key block: every round starts from these.
    SHA_CTX inner;
    SHA_CTX outer;
    for (int i = 0; i < BlockBytes; ++i)
        pad[i] = key[i] ^ 0x36;
    SHA1_Init(&inner);
    SHA1_Update(&inner, pad, BlockBytes);
    for (int i = 0; i < BlockBytes; ++i)
        pad[i] = key[i] ^ 0x5c;
    SHA1_Init(&outer);
    SHA1_Update(&outer, pad, BlockBytes);

    // After the first round each HMAC hashes one 20-byte digest behind its key block: a single
    // block of 20 bytes, the end marker and the length of key block and digest in bits.
    unsigned char block[BlockBytes] = {};
    block[DigestBytes] = 0x80;
    constexpr int bits = (BlockBytes + DigestBytes) * 8;
    block[BlockBytes - 2] = static_cast<unsigned char>(bits >> 8);
    block[BlockBytes - 1] = static_cast<unsigned char>(bits & 0xff);

    QByteArray result(length, Qt::Uninitialized);
    auto* out = reinterpret_cast<unsigned char*>(result.data());
    int left = length;
    for (uint32_t index = 1; left > 0; ++index) {
        unsigned char u[DigestBytes];
        unsigned char t[DigestBytes];
        const unsigned char be[4] = {static_cast<unsigned char>(index >> 24),
                                     static_cast<unsigned char>(index >> 16),
                                     static_cast<unsigned char>(index >> 8),
                                     static_cast<unsigned char>(index)};
        SHA_CTX c = inner;
        SHA1_Update(&c, salt.constData(), salt.size());
        SHA1_Update(&c, be, sizeof be);
        SHA1_Final(u, &c);
        c = outer;
        SHA1_Update(&c, u, DigestBytes);
        SHA1_Final(u, &c);
        std::memcpy(t, u, DigestBytes);
        for (int r = 1; r < rounds; ++r) {
            std::memcpy(block, u, DigestBytes);
            c = inner;
            SHA1_Transform(&c, block);
            putDigest(c, block);
            c = outer;
            SHA1_Transform(&c, block);
            putDigest(c, u);
            for (int j = 0; j < DigestBytes; ++j)
                t[j] ^= u[j];
        }
        const int n = left < DigestBytes ? left : DigestBytes;
        std::memcpy(out, t, n);
        out += n;
        left -= n;
        OPENSSL_cleanse(u, sizeof u);
        OPENSSL_cleanse(t, sizeof t);
        OPENSSL_cleanse(&c, sizeof c);
    }
    OPENSSL_cleanse(key, sizeof key);
    OPENSSL_cleanse(pad, sizeof pad);
    OPENSSL_cleanse(block, sizeof block);
    OPENSSL_cleanse(&inner, sizeof inner);
    OPENSSL_cleanse(&outer, sizeof outer);
    return result;
}

QByteArray rawKey(const QByteArray& password, const QByteArray& salt)
{
    QByteArray key = pbkdf2Sha1(password, salt, Rounds, KeyBytes);
    QByteArray hex = key.toHex();
    wipe(key);
    QByteArray raw = QByteArrayLiteral("x'") + hex + QByteArrayLiteral("'");
    wipe(hex);
    return raw;
}

QByteArray fileSalt(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray salt = file.read(SaltBytes);
    return salt.size() == SaltBytes ? salt : QByteArray();
}

void wipe(QByteArray& key)
{
    if (!key.isEmpty())
        OPENSSL_cleanse(key.data(), key.size());
    key.clear();
}

}  // namespace CipherKey
