#include "gui/LogWidget.h"

#include "core/Log.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace pelmora::gui {

namespace {

// Side of a level icon in pixels.
constexpr int IconSize = 16;

// Colours of the Windows palette the styles name.
const QColor Blue(0x00, 0x00, 0xFF);
const QColor Navy(0x00, 0x00, 0x80);
const QColor Maroon(0x80, 0x00, 0x00);
const QColor Green(0x00, 0x80, 0x00);
const QColor Red(0xFF, 0x00, 0x00);

// Resource name of a level icon inside the view's document.
QUrl IconUrl(int imageIndex) {
    return QUrl(QStringLiteral("pelmora-log-icon:%1").arg(imageIndex));
}

void DrawMark(QPainter& p, const QString& mark, const QColor& color) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    f.setBold(true);
    p.setFont(f);
    p.setPen(color);
    p.drawText(QRect(0, 1, IconSize, IconSize - 1), Qt::AlignCenter, mark);
}

} // namespace

QPixmap LevelIcon(int imageIndex) {
    QPixmap pixmap(IconSize, IconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (imageIndex) {
    case core::LogImageWarning: {
        // Amber triangle with an exclamation mark.
        QPainterPath triangle;
        triangle.moveTo(8, 1);
        triangle.lineTo(15, 14.5);
        triangle.lineTo(1, 14.5);
        triangle.closeSubpath();
        p.setPen(QPen(QColor(0x9A, 0x6A, 0x00), 1));
        p.setBrush(QColor(0xFF, 0xC8, 0x20));
        p.drawPath(triangle);
        DrawMark(p, QStringLiteral("!"), Qt::black);
        break;
    }
    case core::LogImageError: {
        // Red disc with a white cross.
        p.setPen(QPen(QColor(0x90, 0x00, 0x00), 1));
        p.setBrush(QColor(0xE0, 0x20, 0x20));
        p.drawEllipse(QRectF(1, 1, 14, 14));
        p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
        p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
        break;
    }
    default: {
        // Blue disc with a white "i".
        p.setPen(QPen(QColor(0x10, 0x30, 0x90), 1));
        p.setBrush(QColor(0x30, 0x60, 0xD0));
        p.drawEllipse(QRectF(1, 1, 14, 14));
        DrawMark(p, QStringLiteral("i"), Qt::white);
        break;
    }
    }
    return pixmap;
}

QTextCharFormat LogTextStyle(int styleNo, const QColor& windowText) {
    QTextCharFormat f;
    f.setFontFamilies({QStringLiteral("Arial")});
    f.setFontPointSize(10);
    f.setFontWeight(QFont::Normal);
    f.setForeground(windowText);
    switch (styleNo) {
    case 1:
        f.setForeground(Blue);
        f.setFontWeight(QFont::Bold);
        break;
    case 2:
        f.setForeground(Navy);
        f.setFontWeight(QFont::Bold);
        break;
    case 3:
        f.setForeground(Maroon);
        f.setFontItalic(true);
        break;
    case 4:
    case 5:
        f.setForeground(Green);
        f.setFontUnderline(true);
        break;
    case 7:
        f.setForeground(Maroon);
        break;
    case 8:
        f.setForeground(Red);
        break;
    case 9:
        f.setForeground(Blue);
        break;
    default: // 0 and 6: window text
        break;
    }
    return f;
}

LogWidget::LogWidget(QWidget* parent) : QTextEdit(parent) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    document()->setDefaultFont(font);
    AddIcons();
}

void LogWidget::AddIcons() {
    for (int i : {core::LogImageInfo, core::LogImageWarning, core::LogImageError})
        document()->addResource(QTextDocument::ImageResource, IconUrl(i), LevelIcon(i));
}

void LogWidget::EntryAdded(const core::TLog& log, const core::LogEntry&) {
    Sync(log);
}

void LogWidget::Refresh(const core::TLog& log) {
    Sync(log);
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    setTextCursor(end);
    ensureCursorVisible();
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->maximum());
    viewport()->update();
}

void LogWidget::Sync(const core::TLog& log) {
    const auto& items = log.Items();
    if (&log != drawnLog_ || items.size() < drawnItems_) {
        clear();
        AddIcons(); // clearing the document drops its resources
        drawnItems_ = 0;
        drawnLog_ = &log;
    }
    if (drawnItems_ == items.size())
        return;
    const QColor windowText = palette().color(QPalette::WindowText);
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    for (; drawnItems_ < items.size(); ++drawnItems_) {
        const core::LogViewItem& item = items[drawnItems_];
        // The first line of the document goes into its first, empty block.
        if (item.StartsLine && drawnItems_ > 0)
            cursor.insertBlock();
        if (item.IsIcon) {
            QTextImageFormat image;
            image.setName(IconUrl(item.ImageIndex).toString());
            image.setWidth(IconSize);
            image.setHeight(IconSize);
            image.setVerticalAlignment(QTextCharFormat::AlignMiddle);
            cursor.insertImage(image);
            cursor.insertText(QStringLiteral(" "), LogTextStyle(0, windowText));
        } else {
            cursor.insertText(QString::fromStdString(item.Text),
                              LogTextStyle(item.StyleNo, windowText));
        }
    }
    cursor.endEditBlock();
}

} // namespace pelmora::gui
