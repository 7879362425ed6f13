#pragma once

#include <QByteArray>
#include <QTemporaryDir>

// An Ed25519 key made afresh by openssl for each test, standing in for the release key, whose
// private half never enters the sources. Tests sign their releases with it through the release
// script (scripts/sign-update.sh), so the script is checked against the program as well, and
// give the updater its public half.
class TestSigningKey {
public:
    TestSigningKey();

    // Base64 of the raw public key, as the script prints it and the program takes it.
    QByteArray publicKey() const { return m_publicKey; }
    // The signature of `data` (not empty) as the script writes it for the feed.
    QByteArray sign(const QByteArray& data) const;

private:
    QString keyFile() const { return m_folder.filePath("test-only-signing-key.pem"); }

    QTemporaryDir m_folder;
    QByteArray m_publicKey;
};
