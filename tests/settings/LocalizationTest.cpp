#include "settings/Localization.h"

#include "platform/SystemContext.h"
#include "support/TestProfile.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

class LocalizationTest : public ::testing::Test {
protected:
    void addTable(const QString& language, const QJsonObject& table) {
        writeFile(m_tables.path() + "/" + language + ".json",
                  QJsonDocument(table).toJson(QJsonDocument::Compact));
    }
    void useTables() { Localization::setTableFolder(m_tables.path()); }
    void TearDown() override { Localization::setTableFolder(":/strings"); }

    QTemporaryDir m_tables;
    ScopedEnvironment m_lang{"LANG", "fr_FR.UTF-8"};
    ScopedEnvironment m_language{"LANGUAGE", ""};
};

TEST_F(LocalizationTest, FallsBackFromTheUsersLanguageToEnglishToTheKey) {
    addTable("fr", {{"menu.quit", "Quitter"}, {"menu.empty", ""}});
    addTable("en", {{"menu.quit", "Quit"}, {"menu.empty", "Not empty"}, {"menu.help", "Help"}});
    useTables();
    EXPECT_EQ(L("menu.quit"), "Quitter");
    EXPECT_EQ(L("menu.empty"), ""); // an empty translation is a real one
    EXPECT_EQ(L("menu.help"), "Help");
    EXPECT_EQ(L("menu.file"), "menu.file");
}

TEST_F(LocalizationTest, WorksWithoutAnEnglishTable) {
    addTable("fr", {{"menu.quit", "Quitter"}});
    useTables();
    EXPECT_EQ(L("menu.quit"), "Quitter");
    EXPECT_EQ(L("menu.help"), "menu.help");
}

TEST_F(LocalizationTest, PicksTheFirstPreferredLanguageThatHasATable) {
    for (const char* language : {"de", "fr", "fr_CA", "en"})
        addTable(language, {{"k", language}});
    useTables();
    // LANGUAGE is ignored under the C locale, as gettext ignores it.
    for (const auto& [lang, languages, expected] :
         {std::tuple{"fr_FR.UTF-8", "", "fr"}, std::tuple{"fr_FR.UTF-8", "it:de:fr", "de"},
          std::tuple{"fr_CA.UTF-8", "", "fr_CA"}, std::tuple{"ja_JP.UTF-8", "", "en"},
          std::tuple{"C", "de", "en"}}) {
        ScopedEnvironment locale("LANG", lang);
        ScopedEnvironment language("LANGUAGE", languages);
        EXPECT_EQ(L("k"), expected) << lang << " " << languages;
    }
}

TEST_F(LocalizationTest, FormatsArgumentsPrintfStyleWithoutALocale) {
    addTable("fr", {{"menubar.chip_space", "Espace (%d)"}, {"two", "%2$@ puis %1$@ à 100 %%"}});
    useTables();
    EXPECT_EQ(L("menubar.chip_space", 3), "Espace (3)");
    EXPECT_EQ(L("two", QString("a"), QString("b")), "b puis a à 100 %");
    EXPECT_EQ(Localization::format("%ld %s %f", {qint64(1) << 40, "x", 1.5}),
              "1099511627776 x 1.500000");
    EXPECT_EQ(Localization::format("%d and %d", {1}), "1 and %d"); // missing argument
    EXPECT_EQ(Localization::format("%3$d %x", {1}), "%3$d %x");
}

// The shipped tables: every language says everything English says, and nothing is blank.
TEST(ShippedStringTables, EveryLanguageHasEveryEnglishKey) {
    auto keysOf = [](const QString& language) {
        QFile file(":/strings/" + language + ".json");
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << language.toStdString();
        return QJsonDocument::fromJson(file.readAll()).object();
    };
    const QJsonObject english = keysOf("en");
    ASSERT_FALSE(english.isEmpty());
    for (const QString& language : QDir(":/strings").entryList()) {
        const QJsonObject table = keysOf(language.section('.', 0, 0));
        EXPECT_EQ(table.keys(), english.keys()) << language.toStdString();
        for (const QString& key : table.keys())
            EXPECT_FALSE(table.value(key).toString().trimmed().isEmpty()) << key.toStdString();
    }
}

} // namespace
