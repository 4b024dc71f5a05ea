// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// EditorList: the editor control's completion list, a popup at the caret that never takes the keys.
#include "EditorList.h"

#include "common/EditorError.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>

namespace
{

constexpr int DefaultRows = 8;

bool IsOrInside(const QWidget *widget, const QWidget *container)
{
    return widget == container || container->isAncestorOf(widget);
}

} // namespace

EditorList::EditorList(QWidget *editor) : QListWidget(editor), editor_(editor)
{
    // A tool-tip window is never activated, so the editor keeps the focus and the keyboard.
    setWindowFlags(Qt::ToolTip);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Plain);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemDoubleClicked, this, &EditorList::Chosen);
}

EditorList::~EditorList() = default;

std::int32_t EditorList::AddItem(const QString &text, const QIcon &icon, const QString &toolTip)
{
    auto *item = new QListWidgetItem(icon, text, this);
    item->setToolTip(toolTip);
    return static_cast<std::int32_t>(count() - 1);
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

void EditorList::Prepare(const QRect &caretLine, const QString &prefix)
{
    caretLine_ = caretLine;
    prefix_ = prefix;
}

void EditorList::ListFinalCall(std::int32_t selectIndex)
{
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
        widest = std::max(widest, metrics.horizontalAdvance(item(row)->text()));
    const int frame = 2 * frameWidth();
    const int rowHeight = std::max(sizeHintForRow(0), metrics.height());
    const int scrollBar = count() > most ? verticalScrollBar()->sizeHint().width() : 0;
    const int padding = 2 * metrics.horizontalAdvance(QLatin1Char(' '));
    resize(widest + padding + scrollBar + frame, rows * rowHeight + frame);
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
