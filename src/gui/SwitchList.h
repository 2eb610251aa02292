#pragma once
// The list of object switches in the main window: one item per switch with
// its name as caption and its state as a 24x24 image, read-only, whole-row
// selection. Moving the pointer over an item makes the list's hint the text
// of that item's state; over no item the hint stays as it was.

#include <QListWidget>
#include <QPixmap>

namespace pelmora::app {
class TPrzelaczniki;
}

namespace pelmora::gui {

// Side of a switch image in pixels.
inline constexpr int SwitchIconSize = 24;

// The image of a switch state (0 both directions, 1 ERP to CRM, 2 CRM to ERP,
// 3 no processing), drawn here rather than loaded from files.
QPixmap SwitchStateIcon(int state);

class SwitchList : public QListWidget {
    Q_OBJECT
public:
    // Data role of an item that holds its state (the image index).
    static constexpr int StateRole = Qt::UserRole;

    explicit SwitchList(QWidget* parent = nullptr);

    // One item per switch, in order.
    void Fill(const app::TPrzelaczniki& switches);
    // Shows `state` as the item's image.
    static void ShowState(QListWidgetItem* item, int state);
    // The state an item shows.
    static int StateOf(const QListWidgetItem* item);

protected:
    bool viewportEvent(QEvent* event) override;
};

} // namespace pelmora::gui
