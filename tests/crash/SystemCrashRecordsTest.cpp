#include "crash/SystemCrashRecords.h"

#include "harness/FakeDesktop.h"
#include "harness/TestProfile.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

using SystemCrashRecords::Program;
using SystemCrashRecords::Record;

const Program program{"/opt/vesperin/bin/vesperin", "vesperin", 1000};

class SystemCrashRecordsTest : public ProfileTest {
protected:
    QString reportFolder() const { return profile.dataHome() + "/crash"; }

    void writeReport(const QString& name, const QByteArray& text, const QDateTime& modified) {
        writeFile(reportFolder() + "/" + name, text, modified);
    }

    QList<Record> list() { return SystemCrashRecords::list(desktop, program); }

    FakeDesktop desktop;
    ScopedEnvironment folder{"APPORT_REPORT_DIR", QFile::encodeName(reportFolder())};
    // 2026-02-02 10:00:00.250 UTC, and 123 microseconds more
    const qint64 monday = 1770026400250123;
};

TEST_F(SystemCrashRecordsTest, TheProgramsCoredumpsOfItsUserAreListedAndReadOneAtATime) {
    EXPECT_TRUE(list().isEmpty()) << "coredumpctl absent, or without entries";

    desktop.addCoredump(monday - 250123, 4242, program.executable, 1000, "Signal: 11 (SEGV)\n");
    desktop.addCoredump(monday, 4243, program.executable + " (deleted)", 1000, std::nullopt);
    desktop.addCoredump(monday + 1000, 4244, "vesperin", 1000, "\xff not UTF-8\n");
    desktop.addCoredump(monday, 4245, program.executable, 1001, "another user's\n");
    desktop.addCoredump(monday, 4246, "/usr/local/bin/vesperin", 1000, "another copy\n");
    desktop.addCoredump(monday, 4247, "/usr/bin/other", 1000, "another program\n");
    desktop.ran.clear();

    const QList<Record> records = list();
    EXPECT_EQ(desktop.ran, (QList<QStringList>{{"coredumpctl", "--json=short"}}))
        << "nothing is read before it is asked for";
    ASSERT_EQ(records.size(), 3);
    EXPECT_EQ(records.at(0).read(), "Signal: 11 (SEGV)\n");
    EXPECT_EQ(records.at(2).read(), std::nullopt) << "not UTF-8";
}

TEST_F(SystemCrashRecordsTest, TheProgramsApportReportIsReadWithWhatNamesTheCrashFirst) {
    const QByteArray report = "ProblemType: Crash\n"
                              "Architecture: amd64\n"
                              "CoreDump: base64\n"
                              " H4sICAAAAAAC/0NvcmVEdW1wAA==\n"
                              " bW9yZSBjb3JlIGR1bXA=\n"
                              "Date: Mon Feb  2 11:00:00 2026\n"
                              "ExecutablePath: /opt/vesperin/bin/vesperin\n"
                              "ProcEnviron:\n"
                              " LANG=fr_FR.UTF-8\n"
                              " SHELL=/bin/bash\n"
                              "ProcMaps: base64\n"
                              " AAAA\n"
                              "Signal: 11\n"
                              "StacktraceTop:\n"
                              " QWidget::event () from libQt6Widgets.so.6\n"
                              " main ()\n"
                              "UserGroups: N/A";
    const QDateTime modified = QDateTime(QDate(2026, 2, 2), QTime(10, 0, 0, 250), Qt::UTC);
    writeReport("_opt_vesperin_bin_vesperin.1000.crash", report, modified);
    writeReport("_opt_vesperin_bin_vesperin.1001.crash", report, modified);
    writeReport("_usr_bin_other.1000.crash", report, modified);
    writeReport("_opt_vesperin_bin_vesperin.crash", report, modified);

    const QList<Record> records = list();
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records.at(0).time, modified);
    EXPECT_EQ(records.at(0).read(), "ExecutablePath: /opt/vesperin/bin/vesperin\n"
                                    "Signal: 11\n"
                                    "StacktraceTop:\n"
                                    " QWidget::event () from libQt6Widgets.so.6\n"
                                    " main ()\n"
                                    "ProblemType: Crash\n"
                                    "Architecture: amd64\n"
                                    "Date: Mon Feb  2 11:00:00 2026\n"
                                    "ProcEnviron:\n"
                                    " LANG=fr_FR.UTF-8\n"
                                    " SHELL=/bin/bash\n"
                                    "UserGroups: N/A\n");

    const QString path = reportFolder() + "/_opt_vesperin_bin_vesperin.1000.crash";
    writeFile(path, QByteArray(report).replace("/opt/vesperin/bin/vesperin", "/opt/vesperin/bin"));
    EXPECT_EQ(records.at(0).read(), std::nullopt) << "a report of another program";
    writeFile(path, report + "\nTitle: \xff\n");
    EXPECT_EQ(records.at(0).read(), std::nullopt) << "not UTF-8";
    QFile::remove(path);
    EXPECT_EQ(records.at(0).read(), std::nullopt) << "gone";
    EXPECT_TRUE(list().isEmpty());
}

} // namespace
