// The log: its view model, the log file as StartLogFile and AppendEntry write
// it, and the failures of the file that must not reach the program.
#include "app/TestInstallation.h"

#include "app/DM_Main.h"
#include "core/DateTime.h"
#include "core/Log.h"
#include "core/LogView.h"
#include "core/TextEncoding.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace pelmora;
using pelmora::core::LogLevel;
using pelmora::core::TLog;

namespace {

std::string Cp1250(const std::string& utf8) {
    return core::EncodeText(utf8, core::CodePage::Windows1250);
}

// Records what the log asks of its view.
class RecordingView : public core::LogView {
public:
    void EntryAdded(const TLog&, const core::LogEntry& entry) override {
        calls.push_back("entry:" + entry.Text);
    }
    void Refresh(const TLog& log) override {
        calls.push_back("refresh:" + std::to_string(log.Items().size()));
    }
    std::vector<std::string> calls;
};

} // namespace

TEST(LogFile, StartUpWithOneErrorAndTwoLaterEntriesByteForByte) {
    test::TestInstallation inst;
    std::filesystem::remove(inst.Path("Work"));
    app::TDM_Main dm;
    ASSERT_EQ(dm.Log().Entries().size(), 2u);
    const std::string start = dm.Log().Entries()[0].Text;

    dm.StartLogFile();
    dm.Log().AddWarning("Pierwsza linia\r\nDruga linia\r\n  wcięta");
    dm.Log().AddInfo("Zakończone na CR LF\r\n");

    // The file name is the start-up moment with "." as the time separator.
    std::string name = start.substr(std::string("Start aplikacji: ").size());
    for (size_t i = name.find(' '); i < name.size(); ++i)
        if (name[i] == ':')
            name[i] = '.';
    const std::filesystem::path file = inst.LogDir() / (name + ".log");
    EXPECT_EQ(dm.Log().LogFileName(), file.string());
    EXPECT_EQ(inst.OnlyLogFile(), file);

    const std::string expected = Cp1250("*" + start +
                                        "\r\n"
                                        "\r\n"
                                        "*Brak domyślnego, roboczego katalogu:\r\n"
                                        "* " +
                                        inst.Dir() +
                                        "/Work\r\n"
                                        "\r\n"
                                        "* Pierwsza linia\r\n"
                                        "  Druga linia\r\n"
                                        "    wcięta\r\n"
                                        "\r\n"
                                        "* Zakończone na CR LF\r\n"
                                        "  \r\n"
                                        "\r\n");
    EXPECT_EQ(test::ReadFileBytes(file), expected);
    // Windows-1250 bytes: "ś" of "domyślnego" is 0x9C.
    EXPECT_NE(test::ReadFileBytes(file).find("domy\x9Clnego"), std::string::npos);
}

TEST(LogFile, NameAndDateTextAlwaysCarryTheTime) {
    const core::TDateTime midnight = core::EncodeDateTime({2024, 3, 5, 0, 0, 0, 0});
    EXPECT_EQ(TLog::FileNameFor(midnight), "2024-03-05 00.00.00.log");
    EXPECT_EQ(core::DateTimeText(midnight), "2024-03-05 00:00:00");
    const core::TDateTime t = core::EncodeDateTime({2024, 12, 31, 23, 59, 7, 900});
    EXPECT_EQ(TLog::FileNameFor(t), "2024-12-31 23.59.07.log");
    TLog log(t);
    EXPECT_EQ(log.LogFileName(), "2024-12-31 23.59.07.log");
}

TEST(LogModel, EntriesBecomeIconItemsAndTextLines) {
    TLog log;
    RecordingView view;
    log.SetView(&view);
    log.AddError("a\r\nb\nc");
    log.AddEvent("");
    log.AddWarning("w");
    log.AddInfo("i\r\n");

    struct Item {
        bool IsIcon;
        int Image, Style;
        bool StartsLine;
        std::string Text;
    };
    const Item expected[] = {
        {true, 2, 0, true, ""},    {false, 0, 8, false, "a"}, {false, 0, 8, true, "b"},
        {false, 0, 8, true, "c"},  {true, 0, 0, true, ""},    {true, 1, 0, true, ""},
        {false, 0, 7, false, "w"}, {true, 0, 0, true, ""},    {false, 0, 6, false, "i"},
        {false, 0, 6, true, ""},
    };
    ASSERT_EQ(log.Items().size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const core::LogViewItem& it = log.Items()[i];
        EXPECT_EQ(it.IsIcon, expected[i].IsIcon) << i;
        if (it.IsIcon)
            EXPECT_EQ(it.ImageIndex, expected[i].Image) << i;
        else
            EXPECT_EQ(it.StyleNo, expected[i].Style) << i;
        EXPECT_EQ(it.StartsLine, expected[i].StartsLine) << i;
        EXPECT_EQ(it.Text, expected[i].Text) << i;
    }
    ASSERT_EQ(log.Entries().size(), 4u);
    EXPECT_EQ(log.Entries()[3].FirstItem, 7u);
    EXPECT_EQ(log.Entries()[3].ItemCount, 3u);
    EXPECT_EQ(log.Entries()[1].Level, LogLevel::Event);
    // Binding refreshes; each entry: shown, then the view refreshed.
    EXPECT_EQ(view.calls, (std::vector<std::string>{"refresh:0", "entry:a\r\nb\nc", "refresh:4",
                                                    "entry:", "refresh:5", "entry:w", "refresh:7",
                                                    "entry:i\r\n", "refresh:10"}));
}

TEST(LogFile, StartLogFileWalksTheViewItems) {
    test::TempDir dir;
    TLog log;
    log.AddEvent("pierwszy");
    log.AddInfo("");                                  // an icon alone
    log.AddError("x\r\n  dwie spacje\r\n jedna\r\n"); // lines with two blanks, one, none
    // A file of the same name is emptied first.
    test::WriteFileBytes(dir.Path() / log.LogFileName(), "stara zawartość");
    log.StartLogFile(dir.Path());
    EXPECT_EQ(test::ReadFileBytes(log.LogFileName()), "*pierwszy\r\n"
                                                      "\r\n"
                                                      "\r\n"
                                                      "*x\r\n"
                                                      "   dwie spacje\r\n"
                                                      "* jedna\r\n"
                                                      "\r\n"
                                                      "\r\n");
}

TEST(LogFile, AnyLineBreakEndsAFileLine) {
    test::TempDir dir;
    TLog log;
    log.StartLogFile(dir.Path());
    log.AddInfo("lf\nonly");
    log.AddInfo("cr\ronly");
    log.AddInfo("bez łamania 日本");
    EXPECT_EQ(test::ReadFileBytes(log.LogFileName()), "\r\n"
                                                      "* lf\r\n  only\r\n\r\n"
                                                      "* cr\r\n  only\r\n\r\n" +
                                                          Cp1250("* bez łamania ??\r\n\r\n"));
}

TEST(LogFile, WithoutAFileEntriesStayInTheView) {
    test::TempDir dir;
    // Before StartLogFile no file is written, not even one of the bare name.
    TLog early;
    early.AddInfo("przed plikiem");
    early.AppendEntry("przed plikiem");
    EXPECT_FALSE(std::filesystem::exists(early.LogFileName()));

    // A missing log directory: the file never comes into being.
    TLog missing;
    missing.StartLogFile(dir.Path() / "brak");
    missing.AddError("tylko na ekranie");
    EXPECT_FALSE(missing.LogFilePlaced());
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
    EXPECT_EQ(missing.Entries().size(), 1u);

    // A file that has disappeared is not made again.
    TLog gone;
    gone.StartLogFile(dir.Path());
    std::filesystem::remove(gone.LogFileName());
    gone.AddInfo("po usunięciu");
    EXPECT_FALSE(std::filesystem::exists(gone.LogFileName()));
}

TEST(LogFile, AFileThatCannotBeOpenedDoesNotStopTheLog) {
    test::TempDir dir;
    TLog log;
    log.AddEvent("start");
    log.StartLogFile(dir.Path());
    // Something of the file's name that cannot be opened for appending.
    std::filesystem::remove(log.LogFileName());
    std::filesystem::create_directory(log.LogFileName());
    log.AddError("nie trafi do pliku");
    log.AddInfo("ten też nie");
    // The entries are in the view, nothing about the file was reported.
    ASSERT_EQ(log.Entries().size(), 3u);
    EXPECT_EQ(log.Entries()[1].Text, "nie trafi do pliku");
    EXPECT_EQ(log.Entries()[2].Text, "ten też nie");
    // Once the file can be opened again, the following entries reach it.
    std::filesystem::remove(log.LogFileName());
    test::WriteFileBytes(log.LogFileName(), "");
    log.AddInfo("znowu");
    EXPECT_EQ(test::ReadFileBytes(log.LogFileName()), "* znowu\r\n\r\n");
}
