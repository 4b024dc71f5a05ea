// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// EditorList: the editor control's completion list, a popup at the caret that never takes the keys.
#include "EditorList.h"

#include "common/EditorError.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>
#include <QStaticText>
#include <QStyleOptionSlider>
#include <QStyledItemDelegate>
#include <QtMath>

#include <algorithm>
#include <utility>

namespace
{

constexpr int DefaultRows = 8;

bool IsOrInside(const QWidget *widget, const QWidget *container)
{
    return widget == container || container->isAncestorOf(widget);
}

// Draws an entry as the style does, its text from a picture kept for the entry in each of its
// colours: laying the text out again at every paint took longer than the keystroke that narrowed
// the list, and drawing its glyphs anew a sixth of opening it. Entries with an icon are drawn by
// the style alone.
class EntryDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem entry = option;
        initStyleOption(&entry, index);
        if (!entry.icon.isNull() || entry.text.isEmpty()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const QString text = entry.text;
        entry.text.clear();
        const QWidget *widget = entry.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &entry, painter, widget);
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &entry, widget)
                               .adjusted(margin, 0, -margin, 0);
        const QPalette::ColorGroup group =
            entry.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        const QColor colour = entry.palette.color(group, entry.state & QStyle::State_Selected
                                                             ? QPalette::HighlightedText
                                                             : QPalette::Text);
        const QPixmap &picture =
            Picture(text, entry.font, colour, painter->device()->devicePixelRatioF());
        const QSizeF size = picture.deviceIndependentSize();
        painter->save();
        painter->setClipRect(area);
        painter->drawPixmap(QPointF(area.left(), area.top() + (area.height() - size.height()) / 2),
                            picture);
        painter->restore();
    }

private:
    // The entry's text drawn once in `colour` on a clear picture, as a painter would draw it.
    const QPixmap &Picture(const QString &text, const QFont &font, const QColor &colour,
                           qreal pixelRatio) const
    {
        if (font_ != font || pixelRatio_ != pixelRatio) {
            pictures_.clear();
            font_ = font;
            pixelRatio_ = pixelRatio;
        }
        const std::pair<QString, QRgb> key{text, colour.rgba()};
        auto known = pictures_.find(key);
        if (known == pictures_.end()) {
            QStaticText laidOut(text);
            laidOut.setTextFormat(Qt::PlainText);
            laidOut.prepare(QTransform(), font);
            const QSize size(qCeil(laidOut.size().width()), qCeil(laidOut.size().height()));
            QPixmap picture(size * pixelRatio);
            picture.setDevicePixelRatio(pixelRatio);
            picture.fill(Qt::transparent);
            QPainter drawing(&picture);
            drawing.setFont(font);
            drawing.setPen(colour);
            drawing.drawStaticText(QPointF(0, 0), laidOut);
            drawing.end();
            known = pictures_.insert(key, picture);
        }
        return *known;
    }

    mutable QFont font_;
    mutable qreal pixelRatio_ = 0;
    mutable QHash<std::pair<QString, QRgb>, QPixmap> pictures_;
};

// The style draws its scroll bar in gradients, which Qt hands to a pool of threads: waking them
// took longer than painting the rest of the list. This bar is drawn flat, in solid colours, at
// the places the style gives its parts; the style still answers the mouse.
class FlatScrollBar : public QScrollBar
{
public:
    explicit FlatScrollBar(QWidget *parent) : QScrollBar(Qt::Vertical, parent) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QStyleOptionSlider bar;
        initStyleOption(&bar);
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        const auto part = [&](QStyle::SubControl control) {
            return style()->subControlRect(QStyle::CC_ScrollBar, &bar, control, this);
        };
        painter.fillRect(part(QStyle::SC_ScrollBarSlider).adjusted(2, 0, -2, 0), palette().mid());
        const std::pair<QStyle::SubControl, QStyle::PrimitiveElement> arrows[] = {
            {QStyle::SC_ScrollBarSubLine, QStyle::PE_IndicatorArrowUp},
            {QStyle::SC_ScrollBarAddLine, QStyle::PE_IndicatorArrowDown}};
        for (const auto &[control, arrow] : arrows) {
            QStyleOption option;
            option.initFrom(this);
            option.rect = part(control);
            style()->drawPrimitive(arrow, &option, &painter, this);
        }
    }
};

} // namespace

EditorList::EditorList(QWidget *editor) : QListWidget(editor), editor_(editor)
{
    setItemDelegate(new EntryDelegate(this));
    // A tool-tip window is never activated, so the editor keeps the focus and the keyboard.
    setWindowFlags(Qt::ToolTip);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Plain);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBar(new FlatScrollBar(this));
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemDoubleClicked, this, &EditorList::Chosen);
}

EditorList::~EditorList() = default;

// A request mostly adds what the last one did: its entries are reused in place, since making
// sixty entries anew cost a tenth of opening the list.
std::int32_t EditorList::AddItem(const QString &text, const QIcon &icon, const QString &toolTip)
{
    const int row = filled_ >= 0 ? filled_++ : count();
    QListWidgetItem *entry = row < count() ? item(row) : nullptr;
    if (!entry) {
        entry = new QListWidgetItem(icon, text, this);
    } else {
        if (entry->text() != text)
            entry->setText(text);
        if (entry->icon().cacheKey() != icon.cacheKey())
            entry->setIcon(icon);
    }
    if (entry->toolTip() != toolTip)
        entry->setToolTip(toolTip);
    return static_cast<std::int32_t>(row);
}

void EditorList::DropLeftovers()
{
    if (filled_ < 0)
        return;
    while (count() > filled_)
        delete takeItem(count() - 1);
    filled_ = -1;
}

std::int32_t EditorList::SelectedIndex() const
{
    return static_cast<std::int32_t>(currentRow());
}

QString EditorList::ItemText(std::int32_t index) const
{
    const QListWidgetItem *entry = item(index);
    if (!entry)
        throw EditorError(QStringLiteral("the list has no entry %1").arg(index).toStdString());
    return entry->text();
}

QColor EditorList::BackColor() const
{
    return palette().color(QPalette::Base);
}

void EditorList::SetBackColor(const QColor &colour)
{
    QPalette look = palette();
    look.setColor(QPalette::Base, colour);
    setPalette(look);
}

QFont EditorList::Font() const
{
    return font();
}

void EditorList::SetFont(const QFont &font)
{
    setFont(font);
}

void EditorList::Refill()
{
    filled_ = 0;
    listOptionA_ = 0;
    listOptionB_ = 0;
    if (testAttribute(Qt::WA_SetPalette))
        setPalette(QPalette());
    if (testAttribute(Qt::WA_SetFont))
        setFont(QFont());
}

void EditorList::Prepare(const QRect &caretLine, const QString &prefix)
{
    caretLine_ = caretLine;
    prefix_ = prefix;
}

void EditorList::ListFinalCall(std::int32_t selectIndex)
{
    DropLeftovers();
    if (!Narrow(prefix_))
        return;
    if (prefix_.isEmpty() && selectIndex >= 0 && selectIndex < count())
        setCurrentRow(selectIndex);
    show();
}

bool EditorList::Narrow(const QString &prefix)
{
    int first = -1;
    int shown = 0;
    for (int row = 0; row < count(); ++row) {
        const bool matches = item(row)->text().startsWith(prefix, Qt::CaseInsensitive);
        if (isRowHidden(row) == matches)
            setRowHidden(row, !matches);
        shown += matches;
        if (matches && first < 0)
            first = row;
    }
    setCurrentRow(first);
    if (first < 0)
        return false;
    FitSize(shown);
    Place();
    scrollToItem(item(first), QAbstractItemView::PositionAtTop);
    return true;
}

// Below the caret's line, or above it when the screen has no room below; never off the screen's
// sides. A list that shrinks as it narrows stays against the caret's line.
void EditorList::Place()
{
    const QRect screen = editor_->screen()->availableGeometry();
    QPoint place(caretLine_.left(), caretLine_.bottom() + 1);
    if (place.y() + height() > screen.bottom() && caretLine_.top() - height() >= screen.top())
        place.setY(caretLine_.top() - height());
    place.setX(
        std::clamp(place.x(), screen.left(), std::max(screen.left(), screen.right() - width())));
    move(place);
}

void EditorList::MoveSelection(QKeyEvent &key)
{
    QListWidget::keyPressEvent(&key);
}

void EditorList::Dismiss()
{
    hide();
}

// As tall as the entries shown, up to the rows asked for; as wide as the widest entry of all, so
// that the list keeps its width as it narrows.
void EditorList::FitSize(int shown)
{
    const int most = listOptionA_ > 0 ? listOptionA_ : DefaultRows;
    const int rows = std::max(1, std::min(most, shown));
    const QFontMetrics metrics(font());
    int widest = listOptionB_ * metrics.horizontalAdvance(QLatin1Char('0'));
    for (int row = 0; row < count(); ++row)
        widest = std::max(widest, TextWidth(metrics, item(row)->text()));
    const int frame = 2 * frameWidth();
    const int rowHeight = std::max(sizeHintForRow(0), metrics.height());
    const int scrollBar = count() > most ? verticalScrollBar()->sizeHint().width() : 0;
    const int padding = 2 * metrics.horizontalAdvance(QLatin1Char(' '));
    resize(widest + padding + scrollBar + frame, rows * rowHeight + frame);
}

// Measuring a text shapes it, which for a list of sixty names took longer than a keystroke; the
// same names come back at every request, in the same font.
int EditorList::TextWidth(const QFontMetrics &metrics, const QString &text)
{
    if (widthsFont_ != font()) {
        widths_.clear();
        widthsFont_ = font();
    }
    const auto known = widths_.constFind(text);
    if (known != widths_.cend())
        return *known;
    const int width = metrics.horizontalAdvance(text);
    widths_.insert(text, width);
    return width;
}

bool EditorList::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::Wheel: {
        const auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && !IsOrInside(widget, this))
            Dismiss();
        break;
    }
    case QEvent::FocusOut:
        if (watched == editor_)
            Dismiss();
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Hide:
        if (watched == editor_->window())
            Dismiss();
        break;
    default:
        break;
    }
    return false;
}

void EditorList::showEvent(QShowEvent *event)
{
    qApp->installEventFilter(this);
    QListWidget::showEvent(event);
}

void EditorList::hideEvent(QHideEvent *event)
{
    qApp->removeEventFilter(this);
    QListWidget::hideEvent(event);
}
