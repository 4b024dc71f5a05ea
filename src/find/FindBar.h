// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FindBar: the find and replace fields along the editor control's bottom edge.
#pragma once

#include "search/Searcher.h"

#include <QTimer>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

/// The bar's widgets and keys; what a search does is the FindController's. In the search field
/// Return asks for the next match and Shift+Return for the previous one; in the replace field
/// Return asks to replace and Ctrl+Return to replace all; Escape anywhere asks to close.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    explicit FindBar(QWidget *parent = nullptr);

    /// Shows the bar, with the replace row only for `replace`; with `takeFocus` puts the
    /// keyboard in the search field with its text selected.
    void Open(bool replace, bool takeFocus);

    /// True while the replace row is part of the bar.
    bool ReplaceShown() const;
    QString SearchText() const;
    /// Sets the search text without raising SearchEdited.
    void SetSearchText(const QString &text);
    QString ReplacementText() const;
    SearchOptions Options() const;

    /// Flips one option, as its check box does.
    void ToggleMatchCase();
    void ToggleWholeWord();
    void ToggleRegularExpression();

    /// Shows `text` where counts and errors go; `failed` turns the search field red.
    void ShowStatus(const QString &text, bool failed);
    /// Shows for a moment that the search went on from the other end of the text.
    void ShowWrapped();

signals:
    /// The search text or an option changed by the user.
    void SearchEdited();
    void NextRequested();
    void PreviousRequested();
    void ReplaceRequested();
    void ReplaceAllRequested();
    void CloseRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLineEdit *search_;
    QLineEdit *replace_;
    QLabel *status_;
    QLabel *wrapped_;
    QCheckBox *matchCase_;
    QCheckBox *wholeWord_;
    QCheckBox *regularExpression_;
    QPushButton *replaceOne_;
    QPushButton *replaceAll_;
    QTimer wrappedShown_;
};
