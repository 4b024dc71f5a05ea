// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FindBar: the find and replace fields along the editor control's bottom edge.
#include "FindBar.h"

#include "common/FailedField.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

#include <limits>

namespace
{

constexpr int WrappedShownMs = 1500;

QToolButton *IconButton(QWidget *parent, QStyle::StandardPixmap icon, const QString &tip,
                        const char *name)
{
    auto *button = new QToolButton(parent);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(tip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setObjectName(QLatin1String(name));
    return button;
}

QCheckBox *OptionBox(QWidget *parent, const QString &text, const QString &tip, const char *name)
{
    auto *box = new QCheckBox(text, parent);
    box->setToolTip(tip);
    box->setObjectName(QLatin1String(name));
    return box;
}

bool IsReturn(const QKeyEvent &key)
{
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

} // namespace

FindBar::FindBar(QWidget *parent)
    : QWidget(parent), search_(new QLineEdit(this)), replace_(new QLineEdit(this)),
      status_(new QLabel(this)), wrapped_(new QLabel(tr("Wrapped"), this)),
      matchCase_(OptionBox(this, tr("Match case"), tr("Match case (Alt+C)"), "matchCase")),
      wholeWord_(OptionBox(this, tr("Whole word"), tr("Whole word (Alt+W)"), "wholeWord")),
      regularExpression_(OptionBox(this, tr("Regular expression"), tr("Regular expression (Alt+R)"),
                                   "regularExpression")),
      replaceOne_(new QPushButton(tr("Replace"), this)),
      replaceAll_(new QPushButton(tr("Replace All"), this))
{
    // A field keeps 32767 characters unless told otherwise, and cuts what is pasted past that:
    // a search or a replacement is taken whole, however long.
    for (QLineEdit *field : {search_, replace_})
        field->setMaxLength(std::numeric_limits<int>::max());
    search_->setObjectName(QStringLiteral("searchField"));
    search_->setPlaceholderText(tr("Find"));
    replace_->setObjectName(QStringLiteral("replaceField"));
    replace_->setPlaceholderText(tr("Replace with"));
    status_->setObjectName(QStringLiteral("findStatus"));
    status_->setMinimumWidth(status_->fontMetrics().horizontalAdvance(tr("999999 of 999999+")));
    status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    status_->setWordWrap(true);
    search_->setMinimumWidth(search_->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 24);
    wrapped_->setObjectName(QStringLiteral("wrappedNote"));
    wrapped_->hide();
    replaceOne_->setObjectName(QStringLiteral("replaceOne"));
    replaceAll_->setObjectName(QStringLiteral("replaceAll"));
    for (QPushButton *button : {replaceOne_, replaceAll_}) {
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::TabFocus);
    }
    QToolButton *previous =
        IconButton(this, QStyle::SP_ArrowUp, tr("Previous match (Shift+F3)"), "findPrevious");
    QToolButton *next = IconButton(this, QStyle::SP_ArrowDown, tr("Next match (F3)"), "findNext");
    QToolButton *close =
        IconButton(this, QStyle::SP_DialogCloseButton, tr("Close (Escape)"), "closeFind");

    // The search and replace fields share a column; the options take a row of their own so
    // that the fields keep their width in a narrow window.
    auto *options = new QHBoxLayout;
    options->addWidget(matchCase_);
    options->addWidget(wholeWord_);
    options->addWidget(regularExpression_);
    options->addStretch(1);
    options->addWidget(wrapped_);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setVerticalSpacing(2);
    grid->addWidget(search_, 0, 0);
    grid->addWidget(previous, 0, 1);
    grid->addWidget(next, 0, 2);
    grid->addWidget(status_, 0, 3);
    grid->addWidget(close, 0, 4);
    grid->addWidget(replace_, 1, 0);
    grid->addWidget(replaceOne_, 1, 1, 1, 2);
    grid->addWidget(replaceAll_, 1, 3, Qt::AlignLeft);
    grid->addLayout(options, 2, 0, 1, 5);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(3, 2);

    search_->installEventFilter(this);
    replace_->installEventFilter(this);
    connect(search_, &QLineEdit::textEdited, this, &FindBar::SearchEdited);
    for (QCheckBox *box : {matchCase_, wholeWord_, regularExpression_})
        connect(box, &QCheckBox::clicked, this, &FindBar::SearchEdited);
    connect(previous, &QToolButton::clicked, this, &FindBar::PreviousRequested);
    connect(next, &QToolButton::clicked, this, &FindBar::NextRequested);
    connect(close, &QToolButton::clicked, this, &FindBar::CloseRequested);
    connect(replaceOne_, &QPushButton::clicked, this, &FindBar::ReplaceRequested);
    connect(replaceAll_, &QPushButton::clicked, this, &FindBar::ReplaceAllRequested);
    wrappedShown_.setSingleShot(true);
    wrappedShown_.setInterval(WrappedShownMs);
    connect(&wrappedShown_, &QTimer::timeout, wrapped_, &QLabel::hide);
}

void FindBar::Open(bool replace, bool takeFocus)
{
    for (QWidget *part : {static_cast<QWidget *>(replace_), static_cast<QWidget *>(replaceOne_),
                          static_cast<QWidget *>(replaceAll_)})
        part->setVisible(replace);
    show();
    if (!takeFocus)
        return;
    search_->setFocus(Qt::ShortcutFocusReason);
    search_->selectAll();
}

bool FindBar::ReplaceShown() const
{
    return !replace_->isHidden();
}

QString FindBar::SearchText() const
{
    return search_->text();
}

void FindBar::SetSearchText(const QString &text)
{
    search_->setText(text);
}

QString FindBar::ReplacementText() const
{
    return replace_->text();
}

SearchOptions FindBar::Options() const
{
    return SearchOptions{matchCase_->isChecked(), wholeWord_->isChecked(),
                         regularExpression_->isChecked()};
}

void FindBar::ToggleMatchCase()
{
    matchCase_->click();
}

void FindBar::ToggleWholeWord()
{
    wholeWord_->click();
}

void FindBar::ToggleRegularExpression()
{
    regularExpression_->click();
}

void FindBar::ShowStatus(const QString &text, bool failed)
{
    status_->setText(text);
    ShowFieldFailed(*search_, failed);
}

void FindBar::ShowWrapped()
{
    wrapped_->show();
    wrappedShown_.start();
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto &key = static_cast<const QKeyEvent &>(*event);
    if (!IsReturn(key))
        return QWidget::eventFilter(watched, event);
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (watched == search_ && (modifiers & Qt::ShiftModifier))
        emit PreviousRequested();
    else if (watched == search_)
        emit NextRequested();
    else if (modifiers & Qt::ControlModifier)
        emit ReplaceAllRequested();
    else
        emit ReplaceRequested();
    return true;
}

void FindBar::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        emit CloseRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}
