#pragma once

#include <QString>
#include <QTest>

#include <bit>
#include <cstdint>
#include <cstdio>

// Doubles in these tests are compared by their bit patterns: equal values
// with different signs of zero, or values one unit in the last place apart,
// are different results.
inline bool sameBits(double first, double second)
{
    return std::bit_cast<std::uint64_t>(first) == std::bit_cast<std::uint64_t>(second);
}

inline QString describeDouble(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%a (%.17g)", value, value);
    return QString::fromLatin1(text);
}

// Fails the running test function when actual and expected differ in any bit.
#define COMPARE_BITS(actual, expected)                                                           \
    do {                                                                                         \
        const double actualValue_ = (actual);                                                    \
        const double expectedValue_ = (expected);                                                \
        if (!sameBits(actualValue_, expectedValue_))                                             \
            QFAIL(qPrintable(QStringLiteral("%1 is %2, expected %3")                            \
                                 .arg(QStringLiteral(#actual), describeDouble(actualValue_),     \
                                      describeDouble(expectedValue_))));                         \
    } while (false)
