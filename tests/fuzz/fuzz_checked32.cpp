// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// fuzz_checked32: the checked 32-bit arithmetic against exact wide arithmetic, for every integer
// type a size or count may come in.
#include "common/Checked32.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <utility>

namespace
{

void Check(bool holds, const char *property)
{
    if (holds)
        return;
    std::fprintf(stderr, "broken: %s\n", property);
    std::abort();
}

/// Runs `compute`; true when it threw OverflowError with the documented message.
template <typename Compute> bool Overflows(Compute compute, std::int64_t expected)
{
    try {
        const std::int32_t result = compute();
        Check(result == expected, "a result in range is exact");
        return false;
    } catch (const OverflowError &error) {
        Check(std::strcmp(error.what(), "overflow in 32-bit line or column arithmetic") == 0,
              "the overflow names what overflowed");
        return true;
    }
}

template <typename Integer> void CheckNarrowing(FuzzedDataProvider &input)
{
    const auto value = input.ConsumeIntegral<Integer>();
    const bool fits = std::in_range<std::int32_t>(value);
    const std::int64_t expected = fits ? static_cast<std::int64_t>(value) : 0;
    Check(Overflows([&] { return CheckedInt32(value); }, expected) == !fits,
          "a value narrows exactly when it fits in 32 bits");
}

void CheckSum(FuzzedDataProvider &input)
{
    const auto a = input.ConsumeIntegral<std::int32_t>();
    const auto b = input.ConsumeIntegral<std::int32_t>();
    const std::int64_t sum = std::int64_t(a) + b;
    Check(Overflows([&] { return CheckedAdd(a, b); }, sum) == !std::in_range<std::int32_t>(sum),
          "a sum is refused exactly when it leaves the 32-bit range");
}

/// A loop over line numbers as Comment Selected runs it: it visits every line from the first to
/// the last and stops with an overflow only when the last line is the largest number there is.
void CheckLineLoop(FuzzedDataProvider &input)
{
    const auto last = input.ConsumeIntegral<std::int32_t>();
    const auto span = input.ConsumeIntegralInRange<std::int32_t>(0, 64);
    const std::int32_t first = last >= INT32_MIN + span ? last - span : INT32_MIN;
    std::int64_t visited = 0;
    bool overflowed = false;
    try {
        for (std::int32_t line = first; line <= last; line = CheckedStep(line))
            ++visited;
    } catch (const OverflowError &) {
        overflowed = true;
    }
    Check(visited == std::int64_t(last) - first + 1, "every line is visited once");
    Check(overflowed == (last == INT32_MAX), "only a loop ending at the top overflows");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using Step = void (*)(FuzzedDataProvider &);
    static constexpr Step Steps[] = {CheckNarrowing<signed char>,
                                     CheckNarrowing<unsigned char>,
                                     CheckNarrowing<short>,
                                     CheckNarrowing<unsigned short>,
                                     CheckNarrowing<int>,
                                     CheckNarrowing<unsigned>,
                                     CheckNarrowing<long>,
                                     CheckNarrowing<unsigned long>,
                                     CheckNarrowing<long long>,
                                     CheckNarrowing<unsigned long long>,
                                     CheckSum,
                                     CheckLineLoop};
    FuzzedDataProvider input(data, size);
    while (input.remaining_bytes() > 0)
        Steps[input.ConsumeIntegralInRange<std::size_t>(0, std::size(Steps) - 1)](input);
    return 0;
}
