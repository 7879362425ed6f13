#include "service/UpdateSignature.h"

#include "support/TestProfile.h"
#include "support/TestSigningKey.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray base64(const char* hex) {
    return QByteArray::fromHex(hex).toBase64();
}

QByteArray flipped(const QByteArray& base64Text, int byte) {
    QByteArray raw = QByteArray::fromBase64(base64Text);
    raw[byte] = char(raw.at(byte) ^ 0x01);
    return raw.toBase64();
}

// The first two Ed25519 test vectors of RFC 8032: the empty message and the byte 0x72.
struct Vector {
    QByteArray key;
    QByteArray message;
    QByteArray signature;
};
const Vector vectors[] = {
    {base64("d75a980182b10ab7d54bfed3c964073a0ee172f3daa62325af021a68f707511a"), "",
     base64("e5564300c360ac729086e2cc806e828a84877f1eb8e5d974d873e065224901555fb8821590a33bac"
            "c61e39701cf9b46bd25bf5f0595bbe24655141438e7a100b")},
    {base64("3d4017c3e843895a92b70aa74d1b7ebc9c982ccf2ec4968cc0cd55f12af4660c"), "\x72",
     base64("92a009a9f0d4cab8720e820b5f642540a2b27b5416503f8fb3762223ebdb69da085ac1e43e15996e"
            "458f3613d0f11d8c387b2eaeb4302aeeb00d291612bb0c00")},
};

TEST(UpdateSignatureTest, TheStandardVectorsVerifyAndNothingElseDoes) {
    for (const auto& [key, message, signature] : vectors) {
        EXPECT_TRUE(UpdateSignature::verify(message, " " + signature + "\n", key));
        EXPECT_FALSE(UpdateSignature::verify(message + "x", signature, key));
        EXPECT_FALSE(UpdateSignature::verify(message, flipped(signature, 63), key));
        EXPECT_FALSE(UpdateSignature::verify(message, signature, flipped(key, 5)));
    }
    const auto& [key, message, signature] = vectors[1];
    const QByteArray raw = QByteArray::fromBase64(signature);
    for (const QByteArray& notASignature :
         {QByteArray(), raw.left(63).toBase64(), signature.left(40) + "*" + signature.mid(41), raw})
        EXPECT_FALSE(UpdateSignature::verify(message, notASignature, key));
    EXPECT_FALSE(UpdateSignature::verify(message, signature, QByteArray::fromBase64(key)));
    EXPECT_FALSE(UpdateSignature::verify(message, signature, vectors[0].key));
}

// Files are read as the release script signed them; an empty one as the empty message.
TEST(UpdateSignatureTest, AFileVerifiesAsTheReleaseScriptSignedIt) {
    const QTemporaryDir folder;
    const QString file = folder.filePath("release");
    const QByteArray content(100000, 'v');
    const TestSigningKey key;
    const QByteArray signature = key.sign(content);
    writeFile(file, content);
    EXPECT_TRUE(UpdateSignature::verifyFile(file, signature, key.publicKey()));
    writeFile(file, content + "!");
    EXPECT_FALSE(UpdateSignature::verifyFile(file, signature, key.publicKey()));
    EXPECT_FALSE(
        UpdateSignature::verifyFile(folder.filePath("missing"), signature, key.publicKey()));
    writeFile(file, "");
    EXPECT_TRUE(UpdateSignature::verifyFile(file, vectors[0].signature, vectors[0].key));
}

} // namespace
