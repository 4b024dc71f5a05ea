// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// frmAbout: the about box: the program, its version and licence, and the editor engine's credits.
#pragma once

#include <QDialog>

#include <array>

class QFrame;
class QLabel;
class QPushButton;

/// "Quillmark (1.0)": the title, then the major and minor version as plain decimal numbers.
QString AboutTitle(const QString &title, int major, int minor);

/// A fixed-size modal box with the program's title and version, its notices and one "OK"
/// button. It fills itself in when built, so every showing uses a fresh instance.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    /// Builds the box over `owner`, whose screen it is placed on; `owner` keeps it off the task
    /// bar.
    explicit frmAbout(QWidget *owner);

    QLabel *picIcon = nullptr;
    QPushButton *cmdOK = nullptr;
    std::array<QFrame *, 2> Line1{};
    QLabel *lblDescription = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblDisclaimer = nullptr;

private:
    void Form_Load();
    void cmdOK_Click();
    void BuildControls();
    void PlaceOnScreen();
    QRect TwipsRect(int left, int top, int width, int height) const;

    double dpiX_;
    double dpiY_;
};
