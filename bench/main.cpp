// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// quillmark-bench: runs every registered case, or those named on the command line.
#include "BenchCase.h"

#include <QApplication>

#include <algorithm>

#include <cstdio>
#include <cstring>

std::vector<BenchCase> &BenchRegistry()
{
    static std::vector<BenchCase> cases;
    return cases;
}

void ReportResult(const std::string &name, double value, const std::string &unit,
                  const std::vector<std::pair<std::string, double>> &ratios)
{
    std::printf("%s %.3f %s", name.c_str(), value, unit.c_str());
    for (const auto &[ratioName, ratio] : ratios)
        std::printf(" %s=%.3f", ratioName.c_str(), ratio);
    std::printf("\n");
    std::fflush(stdout);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    BenchOptions options;
    std::vector<std::string> wanted;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0)
            options.quick = true;
        else if (argv[i][0] != '-')
            wanted.emplace_back(argv[i]);
    }
    int ran = 0;
    for (const BenchCase &benchCase : BenchRegistry()) {
        if (!wanted.empty() &&
            std::find(wanted.begin(), wanted.end(), benchCase.name) == wanted.end())
            continue;
        benchCase.run(options);
        ++ran;
    }
    return ran > 0 ? 0 : 1;
}
