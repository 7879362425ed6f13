#include "network/helper/UpdateSignature.h"

#include <QFile>

#include <memory>
#include <openssl/evp.h>
#include <optional>

namespace {

constexpr qsizetype publicKeyBytes = 32;
constexpr qsizetype signatureBytes = 64;

std::optional<QByteArray> decoded(const QByteArray& base64, qsizetype size) {
    auto result =
        QByteArray::fromBase64Encoding(base64.trimmed(), QByteArray::AbortOnBase64DecodingErrors);
    if (!result || result.decoded.size() != size)
        return std::nullopt;
    return result.decoded;
}

struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct ContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

} // namespace

namespace UpdateSignature {

bool verify(QByteArrayView data, const QByteArray& signature, const QByteArray& publicKey) {
    const auto rawKey = decoded(publicKey, publicKeyBytes);
    const auto rawSignature = decoded(signature, signatureBytes);
    if (!rawKey || !rawSignature)
        return false;
    const std::unique_ptr<EVP_PKEY, KeyFree> key(EVP_PKEY_new_raw_public_key(
        EVP_PKEY_ED25519, nullptr, reinterpret_cast<const unsigned char*>(rawKey->constData()),
        size_t(rawKey->size())));
    const std::unique_ptr<EVP_MD_CTX, ContextFree> context(EVP_MD_CTX_new());
    if (!key || !context ||
        EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1)
        return false;
    // An empty message is a message too; the library wants a pointer all the same.
    static const unsigned char nothing = 0;
    const auto* bytes =
        data.isEmpty() ? &nothing : reinterpret_cast<const unsigned char*>(data.data());
    return EVP_DigestVerify(context.get(),
                            reinterpret_cast<const unsigned char*>(rawSignature->constData()),
                            size_t(rawSignature->size()), bytes, size_t(data.size())) == 1;
}

bool verifyFile(const QString& path, const QByteArray& signature, const QByteArray& publicKey) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (file.size() == 0)
        return verify({}, signature, publicKey);
    const uchar* mapped = file.map(0, file.size());
    return mapped && verify(QByteArrayView(mapped, file.size()), signature, publicKey);
}

} // namespace UpdateSignature
