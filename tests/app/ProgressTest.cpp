// The progress display's counters, bars, labels and log entries.
#include "app/Progress.h"

#include "core/EventPump.h"
#include "core/Log.h"
#include "core/ProgressView.h"

#include <gtest/gtest.h>

using namespace pelmora;

namespace {

// The last values shown, and how often the events were pumped.
class RecordingFrontEnd : public core::ProgressView, public core::EventPump {
public:
    void SetObjectLabel(const std::string& t) override { objectLabel = t; }
    void SetElementLabel(const std::string& t) override { elementLabel = t; }
    void SetObjectBar(const core::ProgressBarState& b) override { objectBar = b; }
    void SetElementBar(const core::ProgressBarState& b) override { elementBar = b; }
    void ProcessEvents() override { ++pumped; }

    std::string objectLabel, elementLabel;
    core::ProgressBarState objectBar, elementBar;
    int pumped = 0;
};

std::vector<std::string> Texts(const core::TLog& log) {
    std::vector<std::string> out;
    for (const auto& e : log.Entries()) {
        EXPECT_EQ(e.Level, core::LogLevel::Event) << e.Text;
        out.push_back(e.Text);
    }
    return out;
}

std::string Summary(const std::string& name, int total, int processed, int failed) {
    return "Przetworzono obiekt: " + name +
           "\r\nLiczba wszystkich elementów obiektu: " + std::to_string(total) +
           "\r\nLiczba przetworzonych elementów obiektu: " + std::to_string(processed) +
           "\r\nLiczba nieprzetworzonych elementów obiektu: " + std::to_string(failed);
}

class ProgressTest : public ::testing::Test {
protected:
    ProgressTest() : progress(log) {
        progress.SetView(&ui);
        progress.SetEventPump(&ui);
    }
    core::TLog log;
    RecordingFrontEnd ui;
    app::TProgress progress;
};

} // namespace

TEST_F(ProgressTest, OneRunCountsItemsAndSummarisesEachQueue) {
    progress.StartObjectProgress(2);
    EXPECT_EQ(progress.QueueCount(), 2);
    EXPECT_EQ(ui.objectBar.Position, 0);
    EXPECT_EQ(ui.objectBar.Max, 10);
    EXPECT_EQ(ui.elementBar.Max, 5);

    progress.ShowObjectName("Zamówienia");
    EXPECT_EQ(ui.objectLabel, "Zamówienia");
    progress.StartElementProgress(3);
    EXPECT_EQ(ui.elementLabel, "0/3");
    EXPECT_EQ(ui.elementBar.Position, 0);
    EXPECT_EQ(ui.elementBar.Max, 15);
    EXPECT_TRUE(log.Entries().empty());

    const bool results[] = {true, false, true};
    for (int i = 1; i <= 3; ++i) {
        progress.ShowElement(i);
        EXPECT_EQ(ui.elementLabel, std::to_string(i) + "/3");
        if (results[i - 1])
            progress.ElementProcessed();
        else
            progress.ElementNotProcessed();
        progress.StepElement();
        EXPECT_EQ(ui.elementBar.Position, 5 * i);
    }
    progress.ObjectFinished("Zamówienia");
    EXPECT_EQ(ui.objectBar.Position, 5);
    EXPECT_EQ(progress.Total(), 3);
    EXPECT_EQ(progress.Processed(), 2);
    EXPECT_EQ(progress.Failed(), 1);

    EXPECT_EQ(Texts(log), (std::vector<std::string>{
                              "Przetwarzany element: 1/3", "Obiekt przetworzony poprawnie",
                              "Przetwarzany element: 2/3", "Obiekt nieprzetworzony poprawnie",
                              "Przetwarzany element: 3/3", "Obiekt przetworzony poprawnie",
                              Summary("Zamówienia", 3, 2, 1)}));

    // Every call handed control to the event processing once:
    // start, name, start elements (its ShowElement), 3 x 3 item calls, finish.
    EXPECT_EQ(ui.pumped, 1 + 1 + 1 + 9 + 1);
}

TEST_F(ProgressTest, EmptyQueueAndQueueWithoutItsOwnCount) {
    progress.StartObjectProgress(2);
    progress.ShowObjectName("Klienci");
    progress.StartElementProgress(0);
    EXPECT_EQ(ui.elementLabel, "0/0");
    EXPECT_EQ(ui.elementBar.Max, 0);
    progress.ObjectFinished("Klienci");

    // A queue whose collection failed never calls StartElementProgress: it is
    // summarised with the previous counters.
    progress.StartElementProgress(1);
    progress.ShowElement(1);
    progress.ElementProcessed();
    progress.StepElement();
    progress.StepElement(); // never past the end
    EXPECT_EQ(ui.elementBar.Position, 5);
    progress.ObjectFinished("Faktury");
    progress.ShowObjectName("Kasa przyjęła");
    progress.ObjectFinished("Kasa przyjęła");
    EXPECT_EQ(ui.objectBar.Position, 10);

    const auto texts = Texts(log);
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0], Summary("Klienci", 0, 0, 0));
    EXPECT_EQ(texts[3], Summary("Faktury", 1, 1, 0));
    EXPECT_EQ(texts[4], Summary("Kasa przyjęła", 1, 1, 0));

    // A new run starts the queue count afresh; the Start action clears the labels.
    progress.ClearLabels();
    EXPECT_EQ(ui.objectLabel, "");
    EXPECT_EQ(ui.elementLabel, "");
    progress.StartObjectProgress(0);
    EXPECT_EQ(progress.QueueCount(), 0);
    EXPECT_EQ(ui.objectBar.Max, 0);
}
