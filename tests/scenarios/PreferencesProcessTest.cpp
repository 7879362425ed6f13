#include "harness/TestProfile.h"
#include "settings/Preferences.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

const QString domain = "test.process";
const QString child = VESPERIN_BINARY_DIR "/tests/preferences_writer_child";

class PreferencesProcessTest : public ProfileTest {
protected:
    QStringList asideFiles() {
        return QDir(profile.configHome() + "/vesperin").entryList({"*.unreadable-*"}, QDir::Files);
    }
};

// SIGKILL gives the writer no chance to tidy up, like a crash or a power cut seen from the
// file's side: whatever moment it dies at, the file holds one whole version.
TEST_F(PreferencesProcessTest, AWriterKilledMidWriteNeverLeavesATornFile) {
    for (int attempt = 0; attempt < 12; ++attempt) {
        QProcess writer;
        writer.start(child, {"churn", domain});
        ASSERT_TRUE(writer.waitForStarted());
        QThread::msleep(40 + QRandomGenerator::global()->bounded(120));
        ::kill(pid_t(writer.processId()), SIGKILL);
        writer.waitForFinished();

        Preferences reader(domain, profile.preferencesFile(domain));
        const QString blob = reader.stringForKey("blob").value_or(QString());
        SCOPED_TRACE(attempt);
        ASSERT_TRUE(asideFiles().isEmpty());
        if (blob.isEmpty())
            continue; // killed before the first write finished: the file may not exist yet
        EXPECT_EQ(blob.size(), 200000);
        EXPECT_TRUE(blob == QString(200000, 'A') || blob == QString(200000, 'B'));
    }
}

TEST_F(PreferencesProcessTest, AWriteCutOffHalfwayKeepsTheOldFileAndReportsFailure) {
    QProcess writer;
    writer.start(child, {"cutoff", domain});
    ASSERT_TRUE(writer.waitForFinished(30000));
    EXPECT_EQ(writer.exitCode(), 0) << "the store reported a cut-off write as saved";
    Preferences reader(domain, profile.preferencesFile(domain));
    EXPECT_EQ(reader.integerForKey("small"), 1);
    EXPECT_FALSE(reader.objectForKey("blob"));
    EXPECT_EQ(QDir(profile.configHome() + "/vesperin").entryList(QDir::Files),
              QStringList{domain + ".json"});
}

// Without the lock on the folder, each writer would save its own stale copy over the other's.
TEST_F(PreferencesProcessTest, TwoProcessesWritingOneDomainKeepEachOthersKeys) {
    QProcess first;
    QProcess second;
    first.start(child, {"keys", domain, "first", "60"});
    second.start(child, {"keys", domain, "second", "60"});
    ASSERT_TRUE(first.waitForFinished(60000) && second.waitForFinished(60000));
    EXPECT_EQ(Preferences::domain(domain).dictionaryRepresentation().size(), 120);
}

} // namespace
