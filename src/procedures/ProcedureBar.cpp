// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ProcedureBar: the field, the list above it, its keys, and the jump to a procedure.
#include "ProcedureBar.h"

#include "ProcedureList.h"
#include "common/FailedField.h"
#include "scintilla/ScintillaCall.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>

#include <algorithm>

namespace
{

using namespace std::chrono_literals;

constexpr auto FollowInterval = 100ms;
constexpr int ListRows = 10;

} // namespace

ProcedureBar::ProcedureBar(QWidget &control, ScintillaCall &view, Source procedures,
                           const CommandGuard &guard, std::function<void(QWidget &)> placeList)
    : FieldStrip(tr("Go to procedure:"), &control), control_(control),
      placeList_(std::move(placeList)), view_(view), source_(std::move(procedures)), guard_(guard),
      open_(new QAction(tr("Go to Procedure..."), &control))
{
    setObjectName(QStringLiteral("procedureBar"));
    connect(this, &FieldStrip::CloseRequested, this, &ProcedureBar::Close);

    follow_.setInterval(FollowInterval);
    connect(&follow_, &QTimer::timeout, this, &ProcedureBar::FollowAnalysis);

    open_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    open_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(open_, &QAction::triggered, this,
            [this] { RunGuarded(guard_, tr("Go to Procedure"), [this] { Open(); }); });
    control.addAction(open_);
}

void ProcedureBar::AddFields()
{
    field_ = new QLineEdit;
    state_ = new QLabel;
    field_->setObjectName(QStringLiteral("procedureField"));
    state_->setObjectName(QStringLiteral("procedureState"));
    AddWidget(field_, 1);
    AddWidget(state_);
    connect(field_, &QLineEdit::textEdited, this, &ProcedureBar::Narrow);
}

// The list is made when first opened: a table view and its model cost a tenth of a window's
// start-up, for a list many sessions never open.
void ProcedureBar::MakeList()
{
    list_ = new QTableView(&control_);
    rows_ = new ProcedureList(list_);
    list_->setObjectName(QStringLiteral("procedureList"));
    list_->setModel(rows_);
    list_->setFocusPolicy(Qt::NoFocus);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setShowGrid(false);
    list_->setWordWrap(false);
    // Rows of one height that no row is measured for: a list of many thousands shows at once.
    QHeaderView &rows = *list_->verticalHeader();
    rows.hide();
    rows.setSectionResizeMode(QHeaderView::Fixed);
    rows.setDefaultSectionSize(list_->fontMetrics().height() + 4);
    QHeaderView &columns = *list_->horizontalHeader();
    columns.setHighlightSections(false);
    columns.setSectionResizeMode(QHeaderView::Interactive);
    columns.setSectionResizeMode(1, QHeaderView::Stretch);
    const QFontMetrics metrics = list_->fontMetrics();
    list_->setColumnWidth(0, metrics.horizontalAdvance(QStringLiteral("Property Get  ")));
    list_->setColumnWidth(2, metrics.horizontalAdvance(QStringLiteral("99999999  ")));
    list_->setFixedHeight(rows.defaultSectionSize() * ListRows + columns.sizeHint().height() + 4);
    list_->hide();
    placeList_(*list_);
    connect(list_, &QTableView::activated, this,
            [this] { RunGuarded(guard_, tr("Go to Procedure"), [this] { Go(); }); });
}

void ProcedureBar::AddMenuEntry(QMenu &menu) const
{
    menu.addAction(open_);
}

bool ProcedureBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            RunGuarded(guard_, tr("Go to Procedure"), [this] { Go(); });
            return true;
        }
        if (MoveSelection(key->key()))
            return true;
    }
    return FieldStrip::eventFilter(watched, event);
}

void ProcedureBar::Open()
{
    Build();
    if (!list_)
        MakeList();
    caretLine_ = view_.LineFromPosition(view_.CurrentPos());
    field_->clear();
    index_ = source_();
    Narrow();
    show();
    list_->show();
    field_->setFocus(Qt::ShortcutFocusReason);
}

// Shows the procedures that match the field: the best match selected, or with nothing typed the
// procedure the caret stands in.
void ProcedureBar::Narrow()
{
    if (index_)
        rows_->Narrow(*index_, field_->text());
    else
        rows_->Clear();
    Select(field_->text().trimmed().isEmpty() ? rows_->RowAbove(caretLine_) : 0);
    ShowState();
}

void ProcedureBar::Select(int row)
{
    if (row < 0 || row >= rows_->rowCount())
        return;
    selected_ = rows_->At(row)->line;
    const QModelIndex at = rows_->index(row, 0);
    list_->setCurrentIndex(at);
    list_->scrollTo(at);
}

// The analysis read on: the list takes in what it found, keeping the procedure selected.
void ProcedureBar::FollowAnalysis()
{
    const std::int64_t line = selected_;
    index_ = source_();
    if (!index_ || rows_->OutOfDate()) {
        Narrow();
        if (line >= 0)
            Select(rows_->RowAbove(line));
    }
    ShowState();
}

void ProcedureBar::ShowState()
{
    const bool complete = !index_ || index_->Complete();
    const bool none = !index_ || index_->Procedures().empty();
    if (!complete) {
        const std::int64_t lines = std::max<std::int64_t>(1, index_->LineCount());
        const std::int64_t done = std::min<std::int64_t>(99, 100 * index_->KnownLines() / lines);
        state_->setText(tr("reading… %1%").arg(done));
    } else {
        state_->setText(none ? tr("No procedures in the script.") : QString());
    }
    field_->setPlaceholderText(complete && none ? tr("No procedures in the script.") : QString());
    ShowFieldFailed(*field_, !none && rows_->rowCount() == 0);
    if (complete)
        follow_.stop();
    else if (!follow_.isActive())
        follow_.start();
}

bool ProcedureBar::MoveSelection(int key)
{
    const int page =
        std::max(1, list_->viewport()->height() /
                            std::max(1, list_->verticalHeader()->defaultSectionSize()) -
                        1);
    int step = 0;
    switch (key) {
    case Qt::Key_Up:
        step = -1;
        break;
    case Qt::Key_Down:
        step = 1;
        break;
    case Qt::Key_PageUp:
        step = -page;
        break;
    case Qt::Key_PageDown:
        step = page;
        break;
    default:
        return false;
    }
    const int count = rows_->rowCount();
    if (count > 0)
        Select(std::clamp(list_->currentIndex().row() + step, 0, count - 1));
    return true;
}

void ProcedureBar::Go()
{
    if (rows_->OutOfDate())
        FollowAnalysis();
    const Procedure *procedure = rows_->At(list_->currentIndex().row());
    if (!procedure) {
        ShowFieldFailed(*field_, true);
        return;
    }
    const long line = std::min(static_cast<long>(procedure->line), view_.LineCount() - 1);
    Close();
    view_.JumpTo(view_.LineStart(line));
}

void ProcedureBar::Close()
{
    hide();
    if (list_)
        list_->hide();
    follow_.stop();
    view_.Widget().setFocus(Qt::OtherFocusReason);
}
