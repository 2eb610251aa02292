#include "gui/SwitchList.h"

#include "app/Przelaczniki.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

namespace pelmora::gui {

namespace {

// Colours of the four images.
const QColor ArrowBlue(0x20, 0x60, 0xC0);  // a direction that is processed
const QColor ArrowGreen(0x20, 0x90, 0x40); // the second direction of state 0
const QColor NoneGrey(0x90, 0x90, 0x90);   // no processing

// An arrow across the image at height y, pointing right or left.
void DrawArrow(QPainter& p, qreal y, bool right, const QColor& color) {
    const qreal left = 3, tip = SwitchIconSize - 3, head = 6;
    p.setPen(QPen(color, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(left, y), QPointF(tip, y));
    QPainterPath arrowHead;
    if (right) {
        arrowHead.moveTo(tip + 1, y);
        arrowHead.lineTo(tip - head, y - head * 0.7);
        arrowHead.lineTo(tip - head, y + head * 0.7);
    } else {
        arrowHead.moveTo(left - 1, y);
        arrowHead.lineTo(left + head, y - head * 0.7);
        arrowHead.lineTo(left + head, y + head * 0.7);
    }
    arrowHead.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(arrowHead);
}

} // namespace

QPixmap SwitchStateIcon(int state) {
    QPixmap pixmap(SwitchIconSize, SwitchIconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal middle = SwitchIconSize / 2.0;
    switch (state) {
    case app::SwitchStateBoth:
        DrawArrow(p, middle - 4.5, true, ArrowBlue);
        DrawArrow(p, middle + 4.5, false, ArrowGreen);
        break;
    case app::SwitchStateErpToCrm:
        DrawArrow(p, middle, false, ArrowGreen);
        break;
    case app::SwitchStateCrmToErp:
        DrawArrow(p, middle, true, ArrowBlue);
        break;
    default: {
        // A grey ring with a bar across: nothing moves.
        p.setPen(QPen(NoneGrey, 2.5));
        p.setBrush(Qt::NoBrush);
        const QRectF ring(4, 4, SwitchIconSize - 8, SwitchIconSize - 8);
        p.drawEllipse(ring);
        p.drawLine(QPointF(ring.left() + 2.5, ring.bottom() - 2.5),
                   QPointF(ring.right() - 2.5, ring.top() + 2.5));
        break;
    }
    }
    return pixmap;
}

SwitchList::SwitchList(QWidget* parent) : QListWidget(parent) {
    setViewMode(QListView::ListMode);
    setIconSize(QSize(SwitchIconSize, SwitchIconSize));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
}

void SwitchList::Fill(const app::TPrzelaczniki& switches) {
    clear();
    for (const app::RPrzelacznik& sw : switches.Switches()) {
        auto* item = new QListWidgetItem(QString::fromStdString(sw.Name), this);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        ShowState(item, sw.State);
    }
}

void SwitchList::ShowState(QListWidgetItem* item, int state) {
    item->setData(StateRole, state);
    item->setIcon(QIcon(SwitchStateIcon(state)));
}

int SwitchList::StateOf(const QListWidgetItem* item) {
    return item->data(StateRole).toInt();
}

bool SwitchList::viewportEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseMove: {
        const auto* move = static_cast<QMouseEvent*>(event);
        if (const QListWidgetItem* under = itemAt(move->position().toPoint()))
            setToolTip(QString::fromStdString(app::SwitchStateHint(StateOf(under))));
        break;
    }
    case QEvent::ToolTip: {
        // The list's own hint, wherever the pointer is (items carry none).
        const auto* help = static_cast<QHelpEvent*>(event);
        if (toolTip().isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), toolTip(), viewport());
        return true;
    }
    default:
        break;
    }
    return QListWidget::viewportEvent(event);
}

} // namespace pelmora::gui
