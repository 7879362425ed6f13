#include "app/UpdateAlerts.h"

#include "platform/Appearance.h"
#include "service/ServiceEndpoints.h"
#include "service/Updater.h"
#include "settings/Localization.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"
#include "support/TestAppcast.h"
#include "support/TestHttpServer.h"
#include "support/TestProfile.h"
#include "support/TestSigningKey.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>

#include <gtest/gtest.h>

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

const AppcastItem release{.version = "9900",
                          .shortVersion = "99.0",
                          .notes =
                              "\u2022 Shown as written: <b>not bold</b> & <a href='x'>no link</a>",
                          .page = QUrl("https://example.org/download")};

QAbstractButton* buttonTitled(QMessageBox& box, const QString& title) {
    for (QAbstractButton* button : box.buttons()) {
        if (button->text() == title)
            return button;
    }
    return nullptr;
}

// The text and the informative text, both as a person reads them.
QString shownText(QMessageBox& box) {
    QString text;
    for (const char* name : {"qt_msgbox_label", "qt_msgbox_informativelabel"}) {
        const auto* label = box.findChild<QLabel*>(name);
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << name;
        text += label->text() + "\n";
    }
    return text;
}

// Pictures of the boxes are kept for a person to look at when VESPERIN_SCREENSHOT_DIR is set.
void savePictures(const QString& name, QMessageBox& box) {
    const QString folder = qEnvironmentVariable("VESPERIN_SCREENSHOT_DIR");
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return;
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        box.setPalette(Appearances::palette(appearance));
        box.show();
        box.grab().save(QString("%1/update-%2-%3.png")
                            .arg(folder, name, appearance == Appearance::dark ? "dark" : "light"));
    }
    box.hide();
}

using UpdateAlertsTest = ProfileTest;

// The feed's text is shown as written, never as markup, and the only action is the page.
TEST_F(UpdateAlertsTest, ANewerReleaseShowsItsNotesAsWrittenAndOpensItsPage) {
    OpenedUrls opened;
    std::unique_ptr<QMessageBox> box(UpdateAlerts::checkResultBox(UpdateCheck::newer(release)));
    const QString text = shownText(*box);
    EXPECT_TRUE(text.contains(L("update.available", QString("99.0"))));
    EXPECT_TRUE(text.contains(L("update.current_version", ServiceEndpoints::appVersion())));
    EXPECT_TRUE(text.contains(release.notes));
    QAbstractButton* page = buttonTitled(*box, L("update.open_page"));
    ASSERT_TRUE(page);
    page->click();
    EXPECT_EQ(opened.urls, QList<QUrl>{release.page});

    AppcastItem withoutPage = release;
    withoutPage.page.clear();
    withoutPage.notes = QString(3000, 'n');
    box.reset(UpdateAlerts::checkResultBox(UpdateCheck::newer(withoutPage)));
    EXPECT_EQ(box->buttons().size(), 2) << "Close, and the details that hold the long notes";
    EXPECT_EQ(box->detailedText(), withoutPage.notes);
    EXPECT_LT(shownText(*box).size(), 2000);
}

TEST_F(UpdateAlertsTest, UpToDateAndFailuresAreSaidPlainly) {
    std::unique_ptr<QMessageBox> upToDate(UpdateAlerts::checkResultBox(UpdateCheck::upToDate()));
    EXPECT_TRUE(shownText(*upToDate).startsWith(L("update.up_to_date")));
    EXPECT_EQ(upToDate->buttons().size(), 1);

    const QString reason = L("network.error.insecure_redirect", QString("http://<b>x</b>/"));
    std::unique_ptr<QMessageBox> failed(UpdateAlerts::checkResultBox(UpdateCheck::failed(reason)));
    EXPECT_EQ(shownText(*failed), L("update.failed") + "\n" + reason + "\n");
    EXPECT_EQ(failed->icon(), QMessageBox::Warning);
}

// A verified download is offered by its folder: nothing is opened or run but the folder.
TEST_F(UpdateAlertsTest, AReadyDownloadOpensItsFolderAndAFailedOneSaysWhy) {
    OpenedUrls opened;
    const QString path = Updater::downloadFolder() + "/Vesperin-99.0.AppImage";
    std::unique_ptr<QMessageBox> ready(UpdateAlerts::updateReadyBox(path, release));
    EXPECT_TRUE(shownText(*ready).contains(Updater::downloadFolder()));
    buttonTitled(*ready, L("update.show_in_folder"))->click();
    EXPECT_EQ(opened.urls, QList<QUrl>{QUrl::fromLocalFile(Updater::downloadFolder())});

    const QString reason = L("update.error.bad_signature");
    std::unique_ptr<QMessageBox> failed(UpdateAlerts::downloadFailedBox(release, reason));
    EXPECT_EQ(shownText(*failed),
              L("update.download_failed", QString("99.0")) + "\n" + reason + "\n");
    EXPECT_TRUE(buttonTitled(*failed, L("update.open_page")));
}

QList<QMessageBox*> shownBoxes() {
    QList<QMessageBox*> boxes;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible())
            boxes.append(box);
    }
    return boxes;
}

// The updater against a loopback feed, as a person meets it: every outcome is one box that
// says it and goes away when closed, and only a verified file stays in the download folder.
TEST_F(UpdateAlertsTest, EachOutcomeOfALoopbackFeedIsOneBoxSayingIt) {
    TestHttpServer server;
    ScopedEnvironment feedAddress(ServiceEndpoints::appcastVariable,
                                  server.url().toEncoded() + "/appcast.xml");
    TestSigningKey key;
    Preferences::standard().setBool(PreferenceKeys::automaticUpdateDownloads, true);
    const QByteArray file(5000, 'v');
    const QByteArray fileAddress = server.url().toEncoded() + "/Vesperin-99.0.AppImage";
    const auto serveFile = [&](qint64 length, const QByteArray& signature) {
        server.answer(200, TestAppcast::feedWithFile("99.0", fileAddress, length, signature));
        server.answer(200, file);
    };
    struct Case {
        const char* name;
        std::function<void()> serve;
        bool inBackground;
        QString said;
    };
    const QString failed = L("update.failed");
    const QString notDownloaded = L("update.download_failed", QString("99.0"));
    const QList<Case> cases = {
        {"newer", [&] { server.answer(200, TestAppcast::feed("99.0")); }, false,
         L("update.available", QString("99.0"))},
        {"up-to-date",
         [&] { server.answer(200, TestAppcast::feed(ServiceEndpoints::appVersion().toUtf8())); },
         false, L("update.up_to_date")},
        {"malformed", [&] { server.answer(200, "<rss><channel><item>"); }, false, failed},
        {"insecure-redirect", [&] { server.redirect("http://updates.invalid/appcast.xml"); }, false,
         failed},
        {"too-large",
         [&] { server.answer(200, TestAppcast::feed("99.0") + QByteArray(1 << 20, ' ')); }, false,
         failed},
        {"length-mismatch", [&] { serveFile(file.size() + 1, key.sign(file)); }, true,
         notDownloaded},
        {"bad-signature", [&] { serveFile(file.size(), key.sign("another file")); }, true,
         notDownloaded},
        {"ready", [&] { serveFile(file.size(), key.sign(file)); }, true,
         L("update.ready", QString("99.0"))},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        Updater updater(Preferences::standard(), key.publicKey());
        UpdateAlerts::showResults(updater);
        test.serve();
        test.inBackground ? updater.checkInBackground() : updater.checkForUpdates();
        ASSERT_TRUE(waitUntil([] { return !shownBoxes().isEmpty(); }));
        const QList<QMessageBox*> boxes = shownBoxes();
        ASSERT_EQ(boxes.size(), 1);
        const QPointer<QMessageBox> box = boxes.first();
        EXPECT_TRUE(shownText(*box).startsWith(test.said)) << shownText(*box).toStdString();
        savePictures(QString("loopback-") + test.name, *box);
        EXPECT_EQ(QDir(Updater::downloadFolder()).entryList(QDir::Files).size(),
                  test.name == QLatin1String("ready") ? 1 : 0);
        box->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(box.isNull());
    }
}

} // namespace

#include "UpdateAlertsTest.moc"
