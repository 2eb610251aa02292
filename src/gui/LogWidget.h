#pragma once
// The main window's log view: draws the engine's log model (icon items and
// text lines) as rich text, with the three level icons and the text styles
// of the view, and scrolls to its last line on every entry.

#include "core/LogView.h"

#include <QColor>
#include <QPixmap>
#include <QTextCharFormat>
#include <QTextEdit>

namespace pelmora::gui {

// The 16x16 level icon of an image index (0 information and events,
// 1 warning, 2 error), drawn here rather than loaded from files.
QPixmap LevelIcon(int imageIndex);

// The character format of a text style number of the log view (0..9):
// Arial 10 pt; 0 window text, 1 blue bold, 2 navy bold, 3 maroon italic,
// 4 and 5 green underlined, 6 window text, 7 maroon, 8 red, 9 blue.
QTextCharFormat LogTextStyle(int styleNo, const QColor& windowText);

class LogWidget : public QTextEdit, public core::LogView {
    Q_OBJECT
public:
    explicit LogWidget(QWidget* parent = nullptr);

    void EntryAdded(const core::TLog& log, const core::LogEntry& entry) override;
    void Refresh(const core::TLog& log) override;

    // Number of the log's items drawn so far.
    size_t DrawnItems() const { return drawnItems_; }

private:
    // Puts the three level icons into the document's resources.
    void AddIcons();
    // Draws the items of `log` not drawn yet (all of them for another log).
    void Sync(const core::TLog& log);

    size_t drawnItems_ = 0;                // items of the log already in the document
    const core::TLog* drawnLog_ = nullptr; // the log they came from; compared only
};

} // namespace pelmora::gui
