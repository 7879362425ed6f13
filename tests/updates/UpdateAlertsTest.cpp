#include "updates/UpdateAlerts.h"

#include "harness/ShownWindows.h"
#include "harness/TestPictures.h"
#include "network/ServiceEndpoints.h"
#include "settings/Localization.h"
#include "settings/Preferences.h"
#include "settings/Settings.h"
#include "updates/Updater.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

// Stands in for the browser and the file manager.
class OpenedUrls : public QObject {
    Q_OBJECT
public:
    OpenedUrls() {
        for (const char* scheme : {"https", "file"})
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~OpenedUrls() override {
        for (const char* scheme : {"https", "file"})
            QDesktopServices::unsetUrlHandler(scheme);
    }
    QList<QUrl> urls;

public Q_SLOTS:
    void open(const QUrl& url) { urls.append(url); }
};

const AppcastItem release{.version = "99.0",
                          .notes = "\u2022 Week numbers\n\u2022 Shown as written: <b>not bold</b>",
                          .page = QUrl("https://example.org/download")};
const QString path = "/home/u/.cache/vesperin/updates/Vesperin-99.0.AppImage";

using Box = std::unique_ptr<QMessageBox>;

// The text and the informative text, as a person reads them: never taken for markup.
QString shownText(QMessageBox& box) {
    QString text;
    for (const char* name : {"qt_msgbox_label", "qt_msgbox_informativelabel"}) {
        const auto* label = box.findChild<QLabel*>(name);
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << name;
        text += label->text() + "\n";
    }
    return text;
}

TEST(UpdateAlertsTest, EveryBoxSaysItsCaseInPlainText) {
    const QString refused =
        L("network.error.insecure_redirect", QString("http://updates.invalid/appcast.xml"));
    const QString malformed = L("update.error.malformed", 3, QString("Premature end of document."));
    const QList<std::tuple<const char*, QMessageBox*, QString>> cases = {
        {"newer", UpdateAlerts::checkResultBox(UpdateCheck::newer(release)),
         L("update.available", release.version) + "\n" +
             L("update.current_version", ServiceEndpoints::appVersion()) + "\n\n" + release.notes},
        {"up-to-date", UpdateAlerts::checkResultBox(UpdateCheck::upToDate()),
         L("update.up_to_date")},
        {"redirect", UpdateAlerts::checkResultBox(UpdateCheck::failed(refused)),
         L("update.failed") + "\n" + refused},
        {"malformed", UpdateAlerts::checkResultBox(UpdateCheck::failed(malformed)),
         L("update.failed") + "\n" + malformed},
        {"bad-signature", UpdateAlerts::downloadFailedBox(release, L("update.error.bad_signature")),
         L("update.download_failed", release.version) + "\n" + L("update.error.bad_signature")},
        {"ready", UpdateAlerts::updateReadyBox(path, release), L("update.ready", release.version)},
    };
    AppcastItem withLongNotes = release;
    withLongNotes.notes = QString(3000, 'n');
    const Box cut(UpdateAlerts::checkResultBox(UpdateCheck::newer(withLongNotes)));
    EXPECT_LT(shownText(*cut).size(), 2000);
    EXPECT_EQ(cut->detailedText(), withLongNotes.notes) << "the whole notes behind the details";
    for (const auto& [name, made, said] : cases) {
        SCOPED_TRACE(name);
        const Box box(made);
        EXPECT_TRUE(shownText(*box).startsWith(said)) << shownText(*box).toStdString();
        box->show();
        keepForLooking(box->grab().toImage(), QString("update-") + name);
    }
}

// Every report of the updater is a box that goes when closed; nothing is installed or run: the
// only actions open the release's page or the folder of a verified file.
TEST(UpdateAlertsTest, TheOnlyActionsOpenThePageOrTheDownloadsFolder) {
    OpenedUrls opened;
    Settings settings(Preferences::standard());
    Updater updater(settings, {});
    UpdateAlerts::showResults(updater);
    Q_EMIT updater.updateFound(release);
    Q_EMIT updater.updateReady(path, release);
    Q_EMIT updater.downloadFailed(release, "why");
    Q_EMIT updater.checkFinished(UpdateCheck::upToDate());
    QList<QPointer<QMessageBox>> boxes;
    for (QMessageBox* box : shownWindows<QMessageBox>())
        boxes.append(box);
    ASSERT_EQ(boxes.size(), 4);
    for (const QPointer<QMessageBox>& box : boxes) {
        QAbstractButton* action = box->defaultButton();
        (action ? action : box->button(QMessageBox::Close))->click();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(
        std::all_of(boxes.begin(), boxes.end(), [](const auto& box) { return box.isNull(); }));
    std::sort(opened.urls.begin(), opened.urls.end());
    const QUrl folder = QUrl::fromLocalFile(QFileInfo(path).absolutePath());
    EXPECT_EQ(opened.urls, (QList<QUrl>{folder, release.page, release.page}));
}

// With no web browser to open the release's page, its button says so rather than nothing.
TEST(UpdateAlertsTest, APageNoBrowserCanOpenIsSaidSo) {
    if (!QStandardPaths::findExecutable("xdg-open").isEmpty())
        GTEST_SKIP() << "xdg-open is installed: it takes every address, whatever becomes of it";
    Settings settings(Preferences::standard());
    Updater updater(settings, {});
    UpdateAlerts::showResults(updater);
    Q_EMIT updater.updateFound(release);
    const auto shownBoxes = shownWindows<QMessageBox>;
    ASSERT_EQ(shownBoxes().size(), 1);
    shownBoxes().first()->defaultButton()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(shownBoxes().size(), 1);
    EXPECT_EQ(shownBoxes().first()->text(), L("common.no_browser"));
    shownBoxes().first()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

#include "UpdateAlertsTest.moc"
