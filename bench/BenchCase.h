// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The benchmark registry: each case registers itself and prints one result line.
#pragma once

#include <QString>

#include <functional>
#include <string>
#include <vector>

/// How large a run is: the full sizes, or a quick pass that only proves every case still runs.
struct BenchOptions {
    bool quick = false;
    /// Bytes for a "large" script: 100 MB normally, much less in quick mode.
    qsizetype LargeScript() const { return quick ? 2'000'000 : 100'000'000; }
    /// Bytes for a "medium" script: 20 MB normally.
    qsizetype MediumScript() const { return quick ? 400'000 : 20'000'000; }
};

struct BenchCase {
    std::string name;
    std::function<void(const BenchOptions &)> run;
};

std::vector<BenchCase> &BenchRegistry();

/// Registers a case at start-up: `static BenchRegistration r{"name", function};`.
struct BenchRegistration {
    BenchRegistration(std::string name, std::function<void(const BenchOptions &)> run)
    {
        BenchRegistry().push_back({std::move(name), std::move(run)});
    }
};

/// Prints `<case> <value> <unit> <ratio-name>=<ratio> ...` as one line.
void ReportResult(const std::string &name, double value, const std::string &unit,
                  const std::vector<std::pair<std::string, double>> &ratios);
