#include "network/helper/UpdateSignature.h"

#include "harness/TestProfile.h"
#include "harness/TestSigningKey.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray flipped(const QByteArray& base64, int byte) {
    QByteArray raw = QByteArray::fromBase64(base64);
    raw[byte] = char(raw.at(byte) ^ 0x01);
    return raw.toBase64();
}

// A file verifies as the release script signed it, and nothing else does: not another file,
// another signature or key, nor a signature or key that is not Base64 of the right length.
TEST(UpdateSignatureTest, AFileVerifiesOnlyAsTheReleaseScriptSignedIt) {
    const QTemporaryDir folder;
    const QString file = folder.filePath("release");
    const QByteArray content(100000, 'v');
    const TestSigningKey key;
    const QByteArray signature = key.sign(content);
    const QByteArray publicKey = key.publicKey();
    writeFile(file, content);
    EXPECT_TRUE(UpdateSignature::verifyFile(file, " " + signature + "\n", publicKey));
    EXPECT_FALSE(UpdateSignature::verifyFile(file, flipped(signature, 63), publicKey));
    EXPECT_FALSE(UpdateSignature::verifyFile(file, signature, flipped(publicKey, 5)));
    const QByteArray raw = QByteArray::fromBase64(signature);
    for (const QByteArray& notASignature :
         {QByteArray(), raw.left(63).toBase64(), signature.left(40) + "*" + signature.mid(41), raw})
        EXPECT_FALSE(UpdateSignature::verifyFile(file, notASignature, publicKey));
    EXPECT_FALSE(UpdateSignature::verifyFile(file, signature, QByteArray::fromBase64(publicKey)));
    writeFile(file, content + "!");
    EXPECT_FALSE(UpdateSignature::verifyFile(file, signature, publicKey));
    EXPECT_FALSE(UpdateSignature::verifyFile(folder.filePath("missing"), signature, publicKey));
}

// An empty file cannot be mapped; it is read as the empty message of RFC 8032's first test.
TEST(UpdateSignatureTest, AnEmptyFileIsTheEmptyMessage) {
    const QByteArray key =
        QByteArray::fromHex("d75a980182b10ab7d54bfed3c964073a0ee172f3daa62325af021a68f707511a");
    const QByteArray signature = QByteArray::fromHex(
        "e5564300c360ac729086e2cc806e828a84877f1eb8e5d974d873e065224901555fb8821590a33bac"
        "c61e39701cf9b46bd25bf5f0595bbe24655141438e7a100b");
    const QTemporaryDir folder;
    writeFile(folder.filePath("empty"), "");
    EXPECT_TRUE(UpdateSignature::verifyFile(folder.filePath("empty"), signature.toBase64(),
                                            key.toBase64()));
    EXPECT_FALSE(UpdateSignature::verify("\x72", signature.toBase64(), key.toBase64()));
}

} // namespace
