// Damaged user files and settings: marker files of every line length around
// the key and value widths, empty, binary and huge files, settings values of
// the wrong type, and a writer killed while it replaces a file.

#include "document/atomic_file.h"
#include "document/document.h"
#include "document/options.h"
#include "document/options_model.h"
#include "document/settings_store.h"
#include "render/render_fixture.h"
#include "text/sjis.h"
#include "textview/start_page.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace tavrel {
namespace {

using Markers = std::vector<std::pair<std::string, std::string>>;
using tavrel::testing::readFile;
using tavrel::testing::writeFile;

// A line of n bytes whose every byte tells its position (so that key and
// value can be told apart), ASCII only.
std::string numberedLine(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += static_cast<char>('0' + i % 43);
    return s;
}

TEST(MarkerText, EveryLineLengthAroundTheValueKeyAndLineWidths) {
    // Key 55, value 35, a written line 55 + ", " + 35 = 92; a 15-character
    // page identifier alone is far too short.
    for (size_t n = 0; n <= 120; ++n) {
        const std::string line = numberedLine(n);
        for (const char* end : {"\r\n", "\n", ""}) {
            const Markers got = parseMarkerText("VERSION 8.08\r\n" + line + end);
            if (n < 55) {
                EXPECT_TRUE(got.empty()) << n;
            } else {
                ASSERT_EQ(got.size(), 1u) << n;
                EXPECT_EQ(got[0].first, line.substr(0, 55)) << n;
                EXPECT_EQ(got[0].second, line.substr(n - 35)) << n;
            }
        }
    }
}

TEST(MarkerText, ADoubleByteCharacterAcrossTheKeyOrValueEdgeDropsOnlyItsLine) {
    const std::string a = SJ("あ");  // two bytes
    const std::string good = std::string(55, 'K') + ", " + std::string(35, 'V');
    const std::string keyCut = std::string(54, 'K') + a + ", " + std::string(34, 'V');   // lead byte at 54
    const std::string valueCut = std::string(55, 'K') + ", " + a + std::string(34, 'V');  // trail byte at -35
    const std::string wholeInKey = std::string(53, 'K') + a + ", " + std::string(35, 'V');
    const Markers got = parseMarkerText(keyCut + "\r\n" + good + "\r\n" + valueCut + "\r\n" + wholeInKey + "\r\n");
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], std::make_pair(std::string(55, 'K'), std::string(35, 'V')));
    EXPECT_EQ(got[1], std::make_pair(std::string(53, 'K') + a, std::string(35, 'V')));
}

TEST(MarkerText, EmptyBinaryAndHugeTextsGiveOnlyWholeLines) {
    EXPECT_TRUE(parseMarkerText("").empty());
    EXPECT_TRUE(parseMarkerText("\r\n\r\n\n\r").empty());
    EXPECT_TRUE(parseMarkerText("VERSION 8.08").empty());

    // Random bytes, NULs included: whatever comes out has the two widths.
    std::mt19937 rng(12345);
    std::string binary(1 << 16, '\0');
    for (char& c : binary) c = static_cast<char>(rng() & 0xFF);
    for (const auto& [key, value] : parseMarkerText(binary)) {
        EXPECT_EQ(key.size(), 55u);
        EXPECT_EQ(value.size(), 35u);
    }
    // NUL bytes inside a line are kept as they are.
    const std::string withNul = std::string(20, 'K') + std::string(1, '\0') + std::string(34, 'K') + ", " +
                                std::string(35, 'V');
    ASSERT_EQ(parseMarkerText(withNul).size(), 1u);
    EXPECT_EQ(parseMarkerText(withNul)[0].first, withNul.substr(0, 55));

    // One line of four megabytes, then ordinary lines: every ordinary line is read.
    std::string huge = std::string(4 << 20, 'H') + "\r\n";
    for (int i = 0; i < 1000; ++i)
        huge += text::format("%055d", i) + ", " + text::format("%035d", i) + "\r\n";
    const Markers got = parseMarkerText(huge);
    ASSERT_EQ(got.size(), 1001u);
    EXPECT_EQ(got[0].first, std::string(55, 'H'));
    EXPECT_EQ(got[1000].second, text::format("%035d", 999));
}

class MarkerFileStartTest : public tavrel::testing::RenderFixture {};

TEST_F(MarkerFileStartTest, DamagedMarkerFilesStartQuietlyAndKeepEveryWholeMarkerAtClose) {
    const std::string k1 = std::string(54, 'A') + "1", k2 = std::string(54, 'B') + "2";
    const std::string v1 = std::string(34, 'a') + "1", v2 = std::string(34, 'b') + "2";
    std::mt19937 rng(777);
    std::string garbage(100000, '\0');
    for (char& c : garbage) c = static_cast<char>(rng() & 0xFF);
    // The default file is empty; the user's is binary around two good lines.
    writeFile(dir_.file("default.ppj"), "");
    writeFile(dir_.file("tavrel08.ppj"),
              garbage + "\r\n" + k1 + ", " + v1 + "\r\n" + garbage + "\r\n" + k2 + ", " + v2 + "\r\n");
    Document& d = doc();
    ASSERT_TRUE(started_);
    EXPECT_TRUE(sink_.empty()) << firstMessage();
    EXPECT_TRUE(d.markers(true).empty());
    EXPECT_EQ(d.findMarker(false, k1), v1);
    EXPECT_EQ(d.findMarker(false, k2), v2);

    d.close();
    EXPECT_TRUE(sink_.empty()) << firstMessage();
    const Markers back = parseMarkerText(readFile(dir_.file("tavrel08.ppj")));
    EXPECT_NE(std::find(back.begin(), back.end(), std::make_pair(k1, v1)), back.end());
    EXPECT_NE(std::find(back.begin(), back.end(), std::make_pair(k2, v2)), back.end());
    EXPECT_EQ(readFile(dir_.file("tavrel08.ppj")).rfind("VERSION 8.08\r\n", 0), 0u);
}

TEST_F(MarkerFileStartTest, AUserFolderThatCannotBeWrittenKeepsEveryChangeAndSaysSoAtClose) {
    // A folder below a plain file cannot be made or written, by the
    // super-user neither.
    writeFile(dir_.file("plainfile"), "not a folder");
    const std::string blocked = dir_.file("plainfile") + "/";
    const std::string key = std::string(55, 'P'), value = std::string(35, 'Q');
    Document d(settings_, sink_, DocumentFolders{dir_.folder(), blocked});
    ASSERT_TRUE(d.startUp());
    ASSERT_EQ(sink_.shown().size(), 1u);
    EXPECT_EQ(sink_.shown()[0].textUtf8(), "テンポラリフォルダが作成できませんでした。");
    sink_.clear();

    d.addMarker(false, key, value);
    EXPECT_FALSE(d.saveUserMarkers());
    EXPECT_EQ(d.findMarker(false, key), value) << "the change stays in the table";
    d.close();
    ASSERT_EQ(sink_.shown().size(), 1u);
    EXPECT_EQ(sink_.shown()[0].textUtf8(),
              "ピンポイントの設定をファイル(tavrel08.ppj)に保存できませんでした。\n\n"
              "前回保存した設定はそのまま残っています。");
    EXPECT_EQ(sink_.shown()[0].icon, MsgIcon::Exclamation);
    EXPECT_FALSE(std::filesystem::exists(dir_.file("tavrel08.ppj"))) << "nothing written elsewhere";
}

// Writes the wrong type for every key the program keeps: a number where a
// text belongs, a text or bytes where a number belongs.
void storeWrongTypes(MemorySettingsStore& store) {
    for (const SettingKey& k : settingKeys()) {
        switch (k.type) {
            case SettingType::Int: store.writeText(k.section, k.key, "12"); break;
            case SettingType::Text: store.writeInt(k.section, k.key, 12); break;
            case SettingType::Binary: store.writeText(k.section, k.key, "0102030405060708"); break;
        }
    }
    for (int n = 1; n <= kMaxSearchEntries; ++n) store.writeInt(kSettingsSection, searchTargetKey(n), n);
}

TEST(WrongTypedSettings, EveryValueOfTheWrongTypeReadsAsItsDefault) {
    MemorySettingsStore store;
    storeWrongTypes(store);
    const OptionBlock defaults = defaultOptionBlock();

    OptionBlock options{};
    Toggles toggles;
    toggles.synchro = toggles.refer = toggles.brachet = toggles.pinPoint = false;
    loadOptions(store, defaults, options, toggles);
    EXPECT_EQ(options, defaults);
    EXPECT_EQ(toggles, Toggles{});

    EXPECT_TRUE(readSearchEntries(store).empty());
    EXPECT_EQ(textview::chooseStartPage(store, defaults), kCoverPageId);
    EXPECT_FALSE(parseWindowPos(store.readText(kSettingsSection, keys::WindowPos, "")));
    EXPECT_FALSE(parseSplitterPos(store.readText(kSettingsSection, keys::SplitterPos1, "")));
    EXPECT_FALSE(parseSplitterPos(store.readText(kSettingsSection, keys::SplitterPos2, "")));

    // The options dialog opens on white custom colours.
    OptionsModel model(defaults, defaults, store);
    for (uint32_t c : model.customColors()) EXPECT_EQ(c, 0xFFFFFFu);

    // The document starts from the defaults, and writes sound values back.
    testing::FakeMessageSink sink;
    {
        Document doc(store, sink, DocumentFolders{"/nonexistent/", "/nonexistent/"});
        EXPECT_EQ(doc.options(), defaults);
        EXPECT_EQ(doc.toggles(), Toggles{});
    }
    OptionBlock reread{};
    loadOptions(store, OptionBlock{}, reread, toggles);
    EXPECT_EQ(reread, defaults);
    EXPECT_TRUE(sink.empty());
}

TEST(WrongTypedSettings, TextsOfTheRightTypeButTheWrongFormReadAsDefaults) {
    MemorySettingsStore store;
    for (const char* bad : {"", ":", "1:2", "1:2:x", "999999999999:1:1", "-:-:-", "1:2:3:", " 1:2:3"}) {
        store.writeText(kSettingsSection, keys::SplitterPos1, bad);
        EXPECT_FALSE(parseSplitterPos(store.readText(kSettingsSection, keys::SplitterPos1, ""))) << bad;
    }
    store.writeText(kSettingsSection, keys::CurIDFN, "01A-0002'--0-0");
    EXPECT_EQ(textview::chooseStartPage(store, defaultOptionBlock()), kCoverPageId);
}

// The writer of a user file killed at an unknown moment of its work: the
// file holds one whole generation, never a mixture or a part.
std::string generation(int n) { return text::format("generation %06d\n", n) + std::string(1 << 20, 'a' + n % 26); }

bool isWholeGeneration(const std::string& bytes) {
    if (bytes.size() != 18 + (1u << 20) || bytes.compare(0, 11, "generation ") != 0) return false;
    const int n = static_cast<int>(text::toLong(bytes.substr(11, 6)));
    return bytes == generation(n);
}

TEST(KilledWriter, TheFileHoldsOneWholeGenerationWhereverTheKillLands) {
    testing::TempDir dir;
    const std::string path = dir.file("tavrel08.ppj");
    ASSERT_TRUE(writeFileAtomically(path, generation(0)));
    for (int round = 0; round < 6; ++round) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(ready[0]);
            for (int n = 1; n < 100000; ++n) {
                if (!writeFileAtomically(path, generation(n))) _exit(3);
                // After `round` finished writes the parent may kill at any time.
                if (n == round + 1 && write(ready[1], "x", 1) != 1) _exit(4);
            }
            _exit(0);
        }
        close(ready[1]);
        char c = 0;
        ASSERT_EQ(read(ready[0], &c, 1), 1);
        close(ready[0]);
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0));
        const std::string bytes = readFile(path);
        EXPECT_TRUE(isWholeGeneration(bytes)) << "round " << round << ": " << bytes.size() << " bytes";
    }
    // Whatever a killed writer left behind, the next write replaces the file.
    ASSERT_TRUE(writeFileAtomically(path, generation(7)));
    EXPECT_EQ(readFile(path), generation(7));
}

}  // namespace
}  // namespace tavrel
