// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Small timing helpers shared by the benchmark cases.
#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <vector>

/// Milliseconds spent in `work`.
template <typename Work> double TimeMs(Work &&work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

/// The value below which `fraction` of the samples lie (0.5 gives the median).
inline double Percentile(std::vector<double> samples, double fraction)
{
    if (samples.empty())
        return 0.0;
    std::sort(samples.begin(), samples.end());
    const auto index =
        static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[std::min(index, samples.size() - 1)];
}
