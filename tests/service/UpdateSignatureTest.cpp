#include "service/UpdateSignature.h"

#include "support/TestProfile.h"
#include "support/TestSigningKey.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray base64(const char* hex) {
    return QByteArray::fromHex(hex).toBase64();
}

// The first two test vectors of RFC 8032 (Ed25519): an empty message and the byte 0x72.
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

QByteArray flipped(QByteArray base64Text, int byte) {
    QByteArray raw = QByteArray::fromBase64(base64Text);
    raw[byte] = char(raw.at(byte) ^ 0x01);
    return raw.toBase64();
}

TEST(UpdateSignatureTest, TheStandardVectorsVerifyAndAnyChangedByteFails) {
    for (const Vector& vector : vectors) {
        EXPECT_TRUE(UpdateSignature::verify(vector.message, vector.signature, vector.key));
        EXPECT_FALSE(UpdateSignature::verify(vector.message + "x", vector.signature, vector.key));
        for (int byte : {0, 31, 63})
            EXPECT_FALSE(UpdateSignature::verify(vector.message, flipped(vector.signature, byte),
                                                 vector.key));
        EXPECT_FALSE(
            UpdateSignature::verify(vector.message, vector.signature, flipped(vector.key, 5)));
    }
    EXPECT_FALSE(UpdateSignature::verify(vectors[1].message, vectors[1].signature, vectors[0].key));
}

TEST(UpdateSignatureTest, OnlyBase64OfTheRightLengthsIsRead) {
    const Vector& vector = vectors[1];
    EXPECT_TRUE(UpdateSignature::verify(vector.message, " " + vector.signature + "\n", vector.key));
    const QByteArray raw = QByteArray::fromBase64(vector.signature);
    for (const QByteArray& signature :
         {QByteArray(), raw.left(63).toBase64(), (raw + "x").toBase64(),
          vector.signature.left(40) + "*" + vector.signature.mid(41), raw}) {
        EXPECT_FALSE(UpdateSignature::verify(vector.message, signature, vector.key))
            << signature.toStdString();
    }
    const QByteArray key = QByteArray::fromBase64(vector.key);
    EXPECT_FALSE(
        UpdateSignature::verify(vector.message, vector.signature, key.left(31).toBase64()));
    EXPECT_FALSE(UpdateSignature::verify(vector.message, vector.signature, key));
    EXPECT_FALSE(UpdateSignature::verify(vector.message, vector.signature, {}));
}

// What the release script writes is what the program reads: the public key it prints and the
// signature of a file.
TEST(UpdateSignatureTest, AFileSignedByTheReleaseScriptVerifiesWithTheKeyItPrints) {
    const QTemporaryDir folder;
    const TestSigningKey key;
    const QString keyFile = folder.filePath("test-key.pem");
    writeFile(keyFile, key.privateKeyPem());
    const auto run = [&](const QStringList& arguments) {
        QProcess script;
        script.start(VESPERIN_SOURCE_DIR "/scripts/sign-update.sh", arguments);
        EXPECT_TRUE(script.waitForFinished(20000));
        EXPECT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();
        return QString::fromLatin1(script.readAllStandardOutput()).trimmed();
    };
    EXPECT_EQ(run({"--public-key", keyFile}), key.publicKey());

    const QString file = folder.filePath("release");
    const QByteArray content(100000, 'v');
    writeFile(file, content);
    static const QRegularExpression attributes("^length=\"(\\d+)\" sparkle:edSignature=\"(.+)\"$");
    const QRegularExpressionMatch printed = attributes.match(run({file, keyFile}));
    ASSERT_TRUE(printed.hasMatch());
    EXPECT_EQ(printed.captured(1).toLongLong(), content.size());
    const QByteArray signature = printed.captured(2).toLatin1();
    EXPECT_TRUE(UpdateSignature::verifyFile(file, signature, key.publicKey()));
    writeFile(file, content + "!");
    EXPECT_FALSE(UpdateSignature::verifyFile(file, signature, key.publicKey()));
    EXPECT_FALSE(
        UpdateSignature::verifyFile(folder.filePath("missing"), signature, key.publicKey()));
    // An empty file cannot be mapped; it is read as the empty message.
    writeFile(file, "");
    EXPECT_TRUE(UpdateSignature::verifyFile(file, key.sign(""), key.publicKey()));
}

} // namespace
