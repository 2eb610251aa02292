// The main window on the offscreen platform: it opens after the start-up,
// draws the log's entries with their icons and styles, shows the progress and
// starts the log file; closing it runs the shutdown.
#include "app/TestInstallation.h"
#include "WindowFixture.h"

#include "app/Progress.h"
#include "core/Log.h"
#include "gui/F_Main.h"
#include "gui/LogWidget.h"
#include "gui/Program.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <gtest/gtest.h>

using namespace pelmora;

// Under the leak checker: fontconfig keeps its caches until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureApplication(); }
};

// The text of the view's blocks, one per line, icons as U+FFFC.
std::vector<std::string> Lines(gui::LogWidget* view) {
    std::vector<std::string> out;
    for (QTextBlock b = view->document()->begin(); b.isValid(); b = b.next())
        out.push_back(b.text().toStdString());
    return out;
}

// The foreground colour of the text that begins at `pos` of block `blockNo`.
QColor ColourAt(gui::LogWidget* view, int blockNo, int pos) {
    const QTextBlock b = view->document()->findBlockByNumber(blockNo);
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (f.position() - b.position() <= pos && pos < f.position() - b.position() + f.length())
            return f.charFormat().foreground().color();
    }
    return {};
}

} // namespace

TEST_F(MainWindowTest, OpensShowsTheEntriesAndWritesTheLogFile) {
    test::TestInstallation inst;
    std::filesystem::remove(inst.Path("XML"));
    std::string logFile;
    {
        gui::Program program;
        gui::TF_Main& window = program.Window();
        app::TDM_Main& dm = program.Main();
        // Shown only after every data module exists; the show handler starts the file.
        EXPECT_FALSE(window.isVisible());
        EXPECT_FALSE(dm.Log().LogFilePlaced());
        program.Show();
        QApplication::processEvents();
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.windowTitle(), "Varno Pelmora");
        EXPECT_EQ(QCoreApplication::applicationName(), "Pelmora");
        ASSERT_TRUE(dm.Log().LogFilePlaced());
        logFile = dm.Log().LogFileName();

        dm.Log().AddWarning("ostrzeżenie\r\ndruga linia");
        const std::string icon = QString(QChar(0xFFFC)).toStdString() + " ";
        const std::vector<std::string> lines = Lines(window.LogView());
        ASSERT_EQ(lines.size(), 5u);
        EXPECT_EQ(lines[0], icon + dm.Log().Entries()[0].Text);
        EXPECT_EQ(lines[1], icon + "Brak katalogu z plikami *.xml:");
        EXPECT_EQ(lines[2], " " + inst.Dir() + "/XML");
        EXPECT_EQ(lines[3], icon + "ostrzeżenie");
        EXPECT_EQ(lines[4], "druga linia");
        // Event blue, error red, warning maroon.
        EXPECT_EQ(ColourAt(window.LogView(), 0, 2), QColor(0, 0, 255));
        EXPECT_EQ(ColourAt(window.LogView(), 1, 2), QColor(255, 0, 0));
        EXPECT_EQ(ColourAt(window.LogView(), 2, 1), QColor(255, 0, 0));
        EXPECT_EQ(ColourAt(window.LogView(), 4, 0), QColor(128, 0, 0));

        // The progress display reaches the window's labels and bars.
        dm.Progress().StartObjectProgress(4);
        dm.Progress().ShowObjectName("Faktury");
        dm.Progress().StartElementProgress(2);
        dm.Progress().ShowElement(1);
        dm.Progress().StepElement();
        EXPECT_EQ(window.ObjectLabel()->text(), "Faktury");
        EXPECT_EQ(window.ElementLabel()->text(), "1/2");
        EXPECT_EQ(window.ObjectBar()->maximum(), 20);
        EXPECT_EQ(window.ElementBar()->maximum(), 10);
        EXPECT_EQ(window.ElementBar()->value(), 5);

        // Closing the window ends the event loop; the program then shuts down.
        QTimer::singleShot(0, &window, &QWidget::close);
        // Should the loop not end with the window, it is ended with status 1.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { QApplication::exit(1); });
        guard.start(10000);
        EXPECT_EQ(QApplication::exec(), 0);
        EXPECT_FALSE(window.isVisible());
    }
    const std::string bytes = test::ReadFileBytes(logFile);
    EXPECT_TRUE(bytes.starts_with("*Start aplikacji: ")) << bytes;
    EXPECT_NE(bytes.find("*Brak katalogu z plikami *.xml:\r\n* " + inst.Dir() + "/XML\r\n\r\n"),
              std::string::npos);
    EXPECT_NE(bytes.find("* ostrze\xBF"
                         "enie\r\n  druga linia\r\n\r\n"),
              std::string::npos);
    EXPECT_NE(bytes.find("* Koniec aplikacji: "), std::string::npos);
}

TEST_F(MainWindowTest, WithoutIniFileTheWindowOpensAndNoFileIsWritten) {
    test::TestInstallation inst;
    std::filesystem::remove(inst.IniPath());
    gui::Program program;
    program.Show();
    QApplication::processEvents();
    EXPECT_TRUE(program.Window().isVisible());
    EXPECT_FALSE(program.Main().ConnectionsReady);
    EXPECT_FALSE(program.Main().Log().LogFilePlaced());
    const auto lines = Lines(program.Window().LogView());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[1].find("Brak pliku konfiguracyjnego: "), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(inst.LogDir()));

    // The view follows its last line.
    for (int i = 0; i < 100; ++i)
        program.Main().Log().AddInfo("wiersz " + std::to_string(i));
    const QScrollBar* bar = program.Window().LogView()->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(MainWindowTest, LevelIconsAndTextStyles) {
    for (int i = 0; i < 3; ++i) {
        const QPixmap icon = gui::LevelIcon(i);
        EXPECT_EQ(icon.size(), QSize(16, 16));
    }
    // The three icons differ from each other.
    EXPECT_NE(gui::LevelIcon(0).toImage(), gui::LevelIcon(1).toImage());
    EXPECT_NE(gui::LevelIcon(1).toImage(), gui::LevelIcon(2).toImage());
    EXPECT_NE(gui::LevelIcon(0).toImage(), gui::LevelIcon(2).toImage());

    const QColor windowText(1, 2, 3);
    struct Case {
        int Style;
        QColor Colour;
        bool Bold, Italic, Underline;
    } cases[] = {
        {0, windowText, false, false, false},        {1, QColor(0, 0, 255), true, false, false},
        {2, QColor(0, 0, 128), true, false, false},  {3, QColor(128, 0, 0), false, true, false},
        {4, QColor(0, 128, 0), false, false, true},  {5, QColor(0, 128, 0), false, false, true},
        {6, windowText, false, false, false},        {7, QColor(128, 0, 0), false, false, false},
        {8, QColor(255, 0, 0), false, false, false}, {9, QColor(0, 0, 255), false, false, false},
    };
    for (const Case& c : cases) {
        const QTextCharFormat f = gui::LogTextStyle(c.Style, windowText);
        EXPECT_EQ(f.foreground().color(), c.Colour) << c.Style;
        EXPECT_EQ(f.fontWeight() == QFont::Bold, c.Bold) << c.Style;
        EXPECT_EQ(f.fontItalic(), c.Italic) << c.Style;
        EXPECT_EQ(f.fontUnderline(), c.Underline) << c.Style;
        EXPECT_EQ(f.fontPointSize(), 10) << c.Style;
        EXPECT_EQ(f.fontFamilies().toStringList(), QStringList{"Arial"}) << c.Style;
    }
}
