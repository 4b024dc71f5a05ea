// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// MarkedText: a control's text written with its selection marked.
#include "support/MarkedText.h"

#include "editor/EditorControl.h"

#include <QStringList>

namespace
{

std::int32_t LineOf(const QString &text, qsizetype index)
{
    return static_cast<std::int32_t>(text.left(index).count(QLatin1Char('\n')));
}

std::int32_t ColumnOf(const QString &text, qsizetype index)
{
    return static_cast<std::int32_t>(index - text.left(index).lastIndexOf(QLatin1Char('\n')) - 1);
}

} // namespace

void SetMarkedText(EditorControl &code, const QString &marked)
{
    QString text = marked;
    const auto at = [&text](QChar mark) {
        const qsizetype index = text.indexOf(mark);
        text.remove(index, index < 0 ? 0 : 1);
        return index;
    };
    qsizetype start = at(QLatin1Char('['));
    qsizetype end = start < 0 ? -1 : at(QLatin1Char(']'));
    if (start < 0)
        start = end = at(QLatin1Char('|'));
    code.SetText(text);
    code.SetSelection(EditorRange{LineOf(text, start), ColumnOf(text, start), LineOf(text, end),
                                  ColumnOf(text, end)},
                      true);
}

QString MarkedText(const EditorControl &code)
{
    const EditorRange selection = code.GetSelection(true);
    QStringList lines = code.Text().split(QLatin1Char('\n'));
    if (selection.StartLine == selection.EndLine && selection.StartColumn == selection.EndColumn) {
        lines[selection.StartLine].insert(selection.StartColumn, QLatin1Char('|'));
        return lines.join(QLatin1Char('\n'));
    }
    lines[selection.EndLine].insert(selection.EndColumn, QLatin1Char(']'));
    lines[selection.StartLine].insert(selection.StartColumn, QLatin1Char('['));
    return lines.join(QLatin1Char('\n'));
}
