#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Ed25519 signatures of released files, in the form the macOS updater framework's tools
// write them: the public key and the signature both in Base64 (32 and 64 bytes). The feed
// only says where a release is; the signature is what proves that we made the file. Only the
// network helper checks them, so that the application never loads libcrypto.
namespace UpdateSignature {

// Whether `signature` is a valid signature of `data` by `publicKey`. Anything that is not
// Base64 of the right length, or not a key, verifies nothing.
bool verify(QByteArrayView data, const QByteArray& signature, const QByteArray& publicKey);

// The same for the content of a file, mapped rather than read into memory.
bool verifyFile(const QString& path, const QByteArray& signature, const QByteArray& publicKey);

} // namespace UpdateSignature
