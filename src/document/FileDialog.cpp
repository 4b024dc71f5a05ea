// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// DesktopFileDialog: the file dialog as Qt's QFileDialog.
#include "FileDialog.h"

#include <QFileDialog>
#include <QFileInfo>

void DesktopFileDialog::Show(bool saving)
{
    QFileDialog dialog(parent_, caption_, startFolder_);
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Any name may be typed, also in the open dialog; the command decides what a name that
    // names no file means.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(extension_);
    dialog.setNameFilters(
        {QStringLiteral("Quillcode scripts (*.qc)"), QStringLiteral("All files (*)")});
    path_.clear();
    title_.clear();
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    path_ = dialog.selectedFiles().constFirst();
    title_ = QFileInfo(path_).fileName();
}
