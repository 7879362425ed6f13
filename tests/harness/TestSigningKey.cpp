#include "harness/TestSigningKey.h"

#include "harness/TestProfile.h"

#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

const QString script = VESPERIN_SOURCE_DIR "/scripts/sign-update.sh";

QString output(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        ADD_FAILURE() << program.toStdString() << ": "
                      << process.readAllStandardError().toStdString();
    return QString::fromLatin1(process.readAllStandardOutput()).trimmed();
}

} // namespace

TestSigningKey::TestSigningKey() {
    output("openssl", {"genpkey", "-algorithm", "ed25519", "-out", keyFile()});
    m_publicKey = output(script, {"--public-key", keyFile()}).toLatin1();
}

QByteArray TestSigningKey::sign(const QByteArray& data) const {
    const QString file = m_folder.filePath("signed");
    writeFile(file, data);
    const QRegularExpression signature(
        QString("^length=\"%1\" sparkle:edSignature=\"([^\"]+)\"$").arg(data.size()));
    const QRegularExpressionMatch printed = signature.match(output(script, {file, keyFile()}));
    EXPECT_TRUE(printed.hasMatch());
    return printed.captured(1).toLatin1();
}
