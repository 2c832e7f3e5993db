// The key derivation runs SHA-1 on the processor's SHA extensions where it has them, two chains of
// rounds side by side, else on the library's one-block step. SHA1_Init/Update/Final/Transform are
// listed as deprecated by OpenSSL 3 in favour of the EVP calls, whose per-call bookkeeping is what
// makes the engine's own derivation slow.
#define OPENSSL_SUPPRESS_DEPRECATED

#include "db/CipherKey.h"

#include <QFile>
#include <openssl/crypto.h>
#include <openssl/sha.h>
#include <cstdint>
#include <cstring>
#include <vector>
#if defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace CipherKey {

namespace {

constexpr int DigestBytes = SHA_DIGEST_LENGTH;  // 20
constexpr int BlockBytes = SHA_CBLOCK;          // 64

// One PBKDF2 block in the making: U, the latest HMAC, and T, the exclusive-or of all of them, as
// SHA-1's five state words (the digest's bytes, big-endian).
struct Chain {
    uint32_t u[5];
    uint32_t t[5];
};

uint32_t word(const unsigned char* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

void putWords(const uint32_t* w, unsigned char* out, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[i] = static_cast<unsigned char>(w[i / 4] >> (24 - 8 * (i % 4)));
}

void stateWords(const SHA_CTX& c, uint32_t* w)
{
    w[0] = c.h0;
    w[1] = c.h1;
    w[2] = c.h2;
    w[3] = c.h3;
    w[4] = c.h4;
}

// The rounds after the first with the library's one-block step, a block at a time.
void runPortable(const SHA_CTX& inner, const SHA_CTX& outer, Chain& chain, int rounds)
{
    // Each HMAC after the first round hashes one 20-byte digest behind its key block: a single
    // block of 20 bytes, the end marker and the length of key block and digest in bits.
    unsigned char block[BlockBytes] = {};
    block[DigestBytes] = 0x80;
    constexpr int bits = (BlockBytes + DigestBytes) * 8;
    block[BlockBytes - 2] = static_cast<unsigned char>(bits >> 8);
    block[BlockBytes - 1] = static_cast<unsigned char>(bits & 0xff);
    SHA_CTX c;
    for (int r = 1; r < rounds; ++r) {
        putWords(chain.u, block, DigestBytes);
        c = inner;
        SHA1_Transform(&c, block);
        stateWords(c, chain.u);
        putWords(chain.u, block, DigestBytes);
        c = outer;
        SHA1_Transform(&c, block);
        stateWords(c, chain.u);
        for (int j = 0; j < 5; ++j)
            chain.t[j] ^= chain.u[j];
    }
    OPENSSL_cleanse(block, sizeof block);
    OPENSSL_cleanse(&c, sizeof c);
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define QUORVANE_SHA_NI 1

// SHA-1 on the processor's SHA extensions. A state is A..D in one register (A in the top lane)
// and E in the top lane of another; a message block is four registers of four words, W0 in the
// top lane. Each group of four rounds runs on the previous E, the schedule computing the words
// four groups ahead.
struct Sha1State {
    __m128i abcd;
    __m128i e;
};

#define QUORVANE_SHA1_GROUP(F, I)                                                                       \
    do {                                                                                               \
        if constexpr ((I) == 0)                                                                        \
            next = _mm_add_epi32(s.e, m[0]);                                                           \
        else                                                                                           \
            next = _mm_sha1nexte_epu32(previous, m[(I) % 4]);                                          \
        previous = abcd;                                                                               \
        abcd = _mm_sha1rnds4_epu32(abcd, next, F);                                                     \
        if constexpr ((I) + 4 < 20)                                                                    \
            m[(I) % 4] = _mm_sha1msg2_epu32(                                                           \
                _mm_xor_si128(_mm_sha1msg1_epu32(m[(I) % 4], m[((I) + 1) % 4]), m[((I) + 2) % 4]),    \
                m[((I) + 3) % 4]);                                                                     \
    } while (0)

__attribute__((target("sha,sse4.1"))) inline Sha1State compress(Sha1State s, __m128i w0, __m128i w1,
                                                                  __m128i w2, __m128i w3)
{
    __m128i abcd = s.abcd;
    __m128i next;
    __m128i previous = _mm_setzero_si128();
    __m128i m[4] = {w0, w1, w2, w3};
    QUORVANE_SHA1_GROUP(0, 0);
    QUORVANE_SHA1_GROUP(0, 1);
    QUORVANE_SHA1_GROUP(0, 2);
    QUORVANE_SHA1_GROUP(0, 3);
    QUORVANE_SHA1_GROUP(0, 4);
    QUORVANE_SHA1_GROUP(1, 5);
    QUORVANE_SHA1_GROUP(1, 6);
    QUORVANE_SHA1_GROUP(1, 7);
    QUORVANE_SHA1_GROUP(1, 8);
    QUORVANE_SHA1_GROUP(1, 9);
    QUORVANE_SHA1_GROUP(2, 10);
    QUORVANE_SHA1_GROUP(2, 11);
    QUORVANE_SHA1_GROUP(2, 12);
    QUORVANE_SHA1_GROUP(2, 13);
    QUORVANE_SHA1_GROUP(2, 14);
    QUORVANE_SHA1_GROUP(3, 15);
    QUORVANE_SHA1_GROUP(3, 16);
    QUORVANE_SHA1_GROUP(3, 17);
    QUORVANE_SHA1_GROUP(3, 18);
    QUORVANE_SHA1_GROUP(3, 19);
    return {_mm_add_epi32(abcd, s.abcd), _mm_sha1nexte_epu32(previous, s.e)};
}

#undef QUORVANE_SHA1_GROUP

__attribute__((target("sha,sse4.1"))) Sha1State load(const uint32_t* w)
{
    return {_mm_set_epi32(int(w[0]), int(w[1]), int(w[2]), int(w[3])), _mm_set_epi32(int(w[4]), 0, 0, 0)};
}

__attribute__((target("sha,sse4.1"))) void store(const Sha1State& s, uint32_t* w)
{
    alignas(16) uint32_t lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), s.abcd);
    w[0] = lanes[3];
    w[1] = lanes[2];
    w[2] = lanes[1];
    w[3] = lanes[0];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), s.e);
    w[4] = lanes[3];
}

// Two chains at once: each round's hashes depend on the one before, so one chain alone leaves
// the SHA unit waiting; two independent ones keep it busy.
__attribute__((target("sha,sse4.1"))) void runTwoOnShaNi(const SHA_CTX& innerCtx, const SHA_CTX& outerCtx,
                                                         Chain& a, Chain& b, int rounds)
{
    uint32_t w[5];
    stateWords(innerCtx, w);
    const Sha1State inner = load(w);
    stateWords(outerCtx, w);
    const Sha1State outer = load(w);
    // After the digest's five words: the end marker, zeros, the length in bits.
    const __m128i marker = _mm_set_epi32(0, int(0x80000000u), 0, 0);
    const __m128i zero = _mm_setzero_si128();
    const __m128i length = _mm_set_epi32(0, 0, 0, (BlockBytes + DigestBytes) * 8);
    Sha1State ua = load(a.u);
    Sha1State ub = load(b.u);
    Sha1State ta = load(a.t);
    Sha1State tb = load(b.t);
    for (int r = 1; r < rounds; ++r) {
        const Sha1State ia = compress(inner, ua.abcd, _mm_or_si128(ua.e, marker), zero, length);
        const Sha1State ib = compress(inner, ub.abcd, _mm_or_si128(ub.e, marker), zero, length);
        ua = compress(outer, ia.abcd, _mm_or_si128(ia.e, marker), zero, length);
        ub = compress(outer, ib.abcd, _mm_or_si128(ib.e, marker), zero, length);
        ta.abcd = _mm_xor_si128(ta.abcd, ua.abcd);
        ta.e = _mm_xor_si128(ta.e, ua.e);
        tb.abcd = _mm_xor_si128(tb.abcd, ub.abcd);
        tb.e = _mm_xor_si128(tb.e, ub.e);
    }
    store(ua, a.u);
    store(ta, a.t);
    store(ub, b.u);
    store(tb, b.t);
}

bool haveShaNi()
{
    static const bool have = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        // CPUID leaf 1: SSE4.1 is bit 19 of ECX; leaf 7: the SHA extensions are bit 29 of EBX.
        if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & (1u << 19)))
            return false;
        return __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & (1u << 29));
    }();
    return have;
}
#endif

}  // namespace

QByteArray pbkdf2Sha1(const QByteArray& password, const QByteArray& salt, int rounds, int length, Path path)
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

    // The first round of every block: HMAC of the salt and the block's number.
    const int blocks = (length + DigestBytes - 1) / DigestBytes;
    std::vector<Chain> chains(blocks);
    for (int b = 0; b < blocks; ++b) {
        const uint32_t index = uint32_t(b) + 1;
        const unsigned char be[4] = {static_cast<unsigned char>(index >> 24), static_cast<unsigned char>(index >> 16),
                                     static_cast<unsigned char>(index >> 8), static_cast<unsigned char>(index)};
        unsigned char u[DigestBytes];
        SHA_CTX c = inner;
        SHA1_Update(&c, salt.constData(), salt.size());
        SHA1_Update(&c, be, sizeof be);
        SHA1_Final(u, &c);
        c = outer;
        SHA1_Update(&c, u, DigestBytes);
        SHA1_Final(u, &c);
        for (int j = 0; j < 5; ++j)
            chains[b].u[j] = chains[b].t[j] = word(u + 4 * j);
        OPENSSL_cleanse(u, sizeof u);
        OPENSSL_cleanse(&c, sizeof c);
    }

#ifdef QUORVANE_SHA_NI
    if (path == Path::Fastest && haveShaNi()) {
        for (int b = 0; b < blocks; b += 2) {
            // A last block without a partner runs beside a copy of itself.
            Chain spare = chains[b];
            runTwoOnShaNi(inner, outer, chains[b], b + 1 < blocks ? chains[b + 1] : spare, rounds);
            OPENSSL_cleanse(&spare, sizeof spare);
        }
    } else
#endif
    {
        for (Chain& chain : chains)
            runPortable(inner, outer, chain, rounds);
    }

    QByteArray result(blocks * DigestBytes, Qt::Uninitialized);
    for (int b = 0; b < blocks; ++b)
        putWords(chains[b].t, reinterpret_cast<unsigned char*>(result.data()) + b * DigestBytes, DigestBytes);
    OPENSSL_cleanse(chains.data(), chains.size() * sizeof(Chain));
    OPENSSL_cleanse(key, sizeof key);
    OPENSSL_cleanse(pad, sizeof pad);
    OPENSSL_cleanse(&inner, sizeof inner);
    OPENSSL_cleanse(&outer, sizeof outer);
    // Only the bytes asked for; the rest of the last block is wiped with the resize.
    if (result.size() > length) {
        OPENSSL_cleanse(result.data() + length, result.size() - length);
        result.truncate(length);
    }
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
