#include "support/TestSigningKey.h"

#include <gtest/gtest.h>

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

void TestSigningKey::Free::operator()(evp_pkey_st* key) const {
    EVP_PKEY_free(key);
}

TestSigningKey::TestSigningKey() {
    EVP_PKEY_CTX* context = EVP_PKEY_CTX_new_id(EVP_PKEY_ED25519, nullptr);
    EVP_PKEY* key = nullptr;
    if (!context || EVP_PKEY_keygen_init(context) != 1 || EVP_PKEY_keygen(context, &key) != 1)
        ADD_FAILURE() << "no Ed25519 key could be made";
    EVP_PKEY_CTX_free(context);
    m_key.reset(key);
}

TestSigningKey::~TestSigningKey() = default;

QByteArray TestSigningKey::publicKey() const {
    QByteArray raw(32, '\0');
    size_t size = size_t(raw.size());
    EVP_PKEY_get_raw_public_key(m_key.get(), reinterpret_cast<unsigned char*>(raw.data()), &size);
    return raw.toBase64();
}

QByteArray TestSigningKey::sign(QByteArrayView data) const {
    QByteArray signature(64, '\0');
    size_t size = size_t(signature.size());
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    static const unsigned char nothing = 0;
    const auto* bytes =
        data.isEmpty() ? &nothing : reinterpret_cast<const unsigned char*>(data.data());
    if (EVP_DigestSignInit(context, nullptr, nullptr, nullptr, m_key.get()) != 1 ||
        EVP_DigestSign(context, reinterpret_cast<unsigned char*>(signature.data()), &size, bytes,
                       size_t(data.size())) != 1)
        ADD_FAILURE() << "signing failed";
    EVP_MD_CTX_free(context);
    return signature.toBase64();
}

QByteArray TestSigningKey::privateKeyPem() const {
    BIO* memory = BIO_new(BIO_s_mem());
    PEM_write_bio_PrivateKey(memory, m_key.get(), nullptr, nullptr, 0, nullptr, nullptr);
    char* data = nullptr;
    const long size = BIO_get_mem_data(memory, &data);
    QByteArray pem(data, size);
    BIO_free(memory);
    return pem;
}
