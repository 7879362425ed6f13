#include "settings/Localization.h"

#include "harness/TestProfile.h"
#include "harness/TestText.h"
#include "platform/SystemContext.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

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
    useTables();
    EXPECT_EQ(L("menu.help"), "menu.help") << "without an English table";
    addTable("en", {{"menu.quit", "Quit"}, {"menu.empty", "Not empty"}, {"menu.help", "Help"}});
    useTables();
    EXPECT_EQ(L("menu.quit"), "Quitter");
    EXPECT_EQ(L("menu.empty"), ""); // an empty translation is a real one
    EXPECT_EQ(L("menu.help"), "Help");
    EXPECT_EQ(L("menu.file"), "menu.file");
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

QJsonObject shippedTable(const QString& language) {
    QFile file(":/strings/" + language + ".json");
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << language.toStdString();
    return QJsonDocument::fromJson(file.readAll()).object();
}

// The conversions of a text as "argument:conversion", in the order of the arguments they take:
// a translation may reorder them with positions ("%2$@ ... %1$@") but must take the same ones.
QStringList conversionsOf(const QString& text) {
    static const QRegularExpression conversion(R"(%(?:(\d+)\$)?(l{0,2}[diu]|f|@|s|%))");
    QStringList taken;
    int next = 0;
    for (auto it = conversion.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        if (match.captured(2) == "%")
            continue;
        const int argument = match.hasCaptured(1) ? match.captured(1).toInt() : ++next;
        taken.append(QString("%1:%2").arg(argument).arg(match.captured(2)));
    }
    taken.sort();
    return taken;
}

// The shipped tables: every language says everything English says, with the same arguments,
// and nothing is blank; and every table in the sources is shipped.
TEST(ShippedStringTables, EveryLanguageHasEveryEnglishKeyWithItsArguments) {
    const QJsonObject english = shippedTable("en");
    ASSERT_FALSE(english.isEmpty());
    const QStringList shipped = QDir(":/strings").entryList();
    EXPECT_EQ(QDir(VESPERIN_SOURCE_DIR "/resources/strings").entryList({"*.json"}), shipped);
    EXPECT_GE(shipped.size(), 3);
    for (const QString& file : shipped) {
        const QString language = file.section('.', 0, 0);
        const QJsonObject table = shippedTable(language);
        for (const QString& key : table.keys())
            EXPECT_TRUE(english.contains(key)) << language << " has a key English lacks: " << key;
        for (const QString& key : english.keys()) {
            const QString text = table.value(key).toString();
            EXPECT_FALSE(text.trimmed().isEmpty())
                << language << " lacks, or leaves blank, " << key;
            EXPECT_EQ(conversionsOf(text), conversionsOf(english.value(key).toString()))
                << language << " " << key << ": " << text;
        }
    }
}

} // namespace
