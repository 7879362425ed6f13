#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <memory>

struct evp_pkey_st;

// An Ed25519 key pair made afresh for each test, standing in for the release key, whose
// private half never leaves the sources' owner: tests sign their own files with this one and
// give the updater its public half.
class TestSigningKey {
public:
    TestSigningKey();
    ~TestSigningKey();

    // Base64 of the raw 32-byte public key, as the program takes it.
    QByteArray publicKey() const;
    // Base64 of the 64-byte signature of `data`, as the feed carries it.
    QByteArray sign(QByteArrayView data) const;
    // The private key in PEM, for the release signing script.
    QByteArray privateKeyPem() const;

private:
    struct Free {
        void operator()(evp_pkey_st* key) const;
    };
    std::unique_ptr<evp_pkey_st, Free> m_key;
};
