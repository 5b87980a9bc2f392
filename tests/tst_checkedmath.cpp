// The checked arithmetic behind every figure of the frame set, Draw and the window sizes:
// sums and products that leave 16 or 32 bits, and conversions that leave the range or have no
// value, must be error 6 instead of wrapping; fractions round half to even.

#include "platform/checkedmath.h"

#include <QTest>

#include <cmath>
#include <functional>
#include <limits>

using platform::Int16;
using platform::Int32;
using platform::RuntimeError;

namespace {

constexpr int NoError = 0;

// The result of the call, or the number of the error it raised.
struct Outcome
{
    double value = 0;
    int error = NoError;
};

Outcome outcomeOf(const std::function<double()> &call)
{
    try {
        return {call(), NoError};
    } catch (const RuntimeError &error) {
        return {0, error.number()};
    }
}

constexpr qint64 int16Max = std::numeric_limits<Int16>::max();
constexpr qint64 int16Min = std::numeric_limits<Int16>::min();
constexpr qint64 int32Max = std::numeric_limits<Int32>::max();
constexpr qint64 int32Min = std::numeric_limits<Int32>::min();

} // namespace

class CheckedMathTest : public QObject
{
    Q_OBJECT

private slots:
    void integerArithmetic_data();
    void integerArithmetic();
    void roundingToInteger_data();
    void roundingToInteger();
    void singlePrecisionSum_data();
    void singlePrecisionSum();
};

void CheckedMathTest::integerArithmetic_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<qint64>("a");
    QTest::addColumn<qint64>("b");
    QTest::addColumn<qint64>("expected");
    QTest::addColumn<int>("error");

    const QString add16 = QStringLiteral("add16");
    const QString mul16 = QStringLiteral("mul16");
    const QString add32 = QStringLiteral("add32");
    const QString mul32 = QStringLiteral("mul32");

    QTest::newRow("16-bit sum reaching the maximum") << add16 << int16Max - 1 << 1LL << int16Max << NoError;
    QTest::newRow("16-bit sum one past the maximum") << add16 << int16Max << 1LL << 0LL << 6;
    QTest::newRow("16-bit sum reaching the minimum") << add16 << int16Min + 1 << -1LL << int16Min << NoError;
    QTest::newRow("16-bit sum one below the minimum") << add16 << int16Min << -1LL << 0LL << 6;
    QTest::newRow("16-bit sum of two large halves") << add16 << 16384LL << 16384LL << 0LL << 6;
    QTest::newRow("16-bit product just inside") << mul16 << 181LL << 181LL << 32761LL << NoError;
    QTest::newRow("16-bit product just outside") << mul16 << 182LL << 181LL << 0LL << 6;
    QTest::newRow("16-bit product reaching the minimum") << mul16 << -256LL << 128LL << int16Min << NoError;
    QTest::newRow("16-bit minimum negated") << mul16 << int16Min << -1LL << 0LL << 6;
    QTest::newRow("16-bit product that wraps to a small value") << mul16 << 256LL << 257LL << 0LL << 6;

    QTest::newRow("32-bit sum reaching the maximum") << add32 << int32Max - 1 << 1LL << int32Max << NoError;
    QTest::newRow("32-bit sum one past the maximum") << add32 << int32Max << 1LL << 0LL << 6;
    QTest::newRow("32-bit sum reaching the minimum") << add32 << int32Min + 1 << -1LL << int32Min << NoError;
    QTest::newRow("32-bit sum one below the minimum") << add32 << int32Min << -1LL << 0LL << 6;
    QTest::newRow("32-bit product just inside") << mul32 << 46341LL << 46340LL << 2147441940LL << NoError;
    QTest::newRow("32-bit product just outside") << mul32 << 46341LL << 46341LL << 0LL << 6;
    QTest::newRow("32-bit product of exactly 2^31") << mul32 << 65536LL << 32768LL << 0LL << 6;
    QTest::newRow("32-bit product reaching the minimum") << mul32 << -65536LL << 32768LL << int32Min << NoError;
    QTest::newRow("32-bit minimum negated") << mul32 << int32Min << -1LL << 0LL << 6;
    QTest::newRow("32-bit product that wraps to zero") << mul32 << 65536LL << 65536LL << 0LL << 6;
}

void CheckedMathTest::integerArithmetic()
{
    QFETCH(QString, operation);
    QFETCH(qint64, a);
    QFETCH(qint64, b);
    QFETCH(qint64, expected);
    QFETCH(int, error);

    const Outcome outcome = outcomeOf([&]() -> double {
        if (operation == QLatin1String("add16"))
            return platform::checkedAdd<Int16>(Int16(a), Int16(b));
        if (operation == QLatin1String("mul16"))
            return platform::checkedMul<Int16>(Int16(a), Int16(b));
        if (operation == QLatin1String("add32"))
            return platform::checkedAdd<Int32>(Int32(a), Int32(b));
        return platform::checkedMul<Int32>(Int32(a), Int32(b));
    });
    QCOMPARE(outcome.error, error);
    if (error == NoError)
        QCOMPARE(qint64(outcome.value), expected);
}

void CheckedMathTest::roundingToInteger_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("expected");
    QTest::addColumn<int>("error");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();

    QTest::newRow("0.5 to the even 0") << 16 << 0.5 << 0LL << NoError;
    QTest::newRow("1.5 to the even 2") << 16 << 1.5 << 2LL << NoError;
    QTest::newRow("2.5 to the even 2") << 16 << 2.5 << 2LL << NoError;
    QTest::newRow("3.5 to the even 4") << 16 << 3.5 << 4LL << NoError;
    QTest::newRow("-2.5 to the even -2") << 16 << -2.5 << -2LL << NoError;
    QTest::newRow("0.73 to the nearest 1") << 16 << 8.0 / 11.0 << 1LL << NoError;
    QTest::newRow("0.35 to the nearest 0") << 16 << 8.0 / 23.0 << 0LL << NoError;
    QTest::newRow("2.67 to the nearest 3") << 16 << 8.0 / 3.0 << 3LL << NoError;
    QTest::newRow("16-bit maximum with a fraction below a half") << 16 << 32767.4 << int16Max << NoError;
    QTest::newRow("16-bit maximum plus a half rounds out of range") << 16 << 32767.5 << 0LL << 6;
    QTest::newRow("16-bit minimum minus a half rounds to the even minimum") << 16 << -32768.5 << int16Min << NoError;
    QTest::newRow("16-bit one past the maximum") << 16 << 32768.0 << 0LL << 6;
    QTest::newRow("16-bit one below the minimum") << 16 << -32769.0 << 0LL << 6;
    QTest::newRow("16-bit not a number") << 16 << nan << 0LL << 6;
    QTest::newRow("16-bit infinity") << 16 << inf << 0LL << 6;
    QTest::newRow("16-bit minus infinity") << 16 << -inf << 0LL << 6;

    QTest::newRow("32-bit 2.5 to the even 2") << 32 << 2.5 << 2LL << NoError;
    QTest::newRow("32-bit -2.5 to the even -2") << 32 << -2.5 << -2LL << NoError;
    QTest::newRow("32-bit maximum with a fraction below a half") << 32 << 2147483647.4 << int32Max << NoError;
    QTest::newRow("32-bit maximum plus a half rounds out of range") << 32 << 2147483647.5 << 0LL << 6;
    QTest::newRow("32-bit minimum minus a half rounds to the even minimum") << 32 << -2147483648.5 << int32Min << NoError;
    QTest::newRow("32-bit one below the minimum") << 32 << -2147483649.0 << 0LL << 6;
    QTest::newRow("32-bit not a number") << 32 << nan << 0LL << 6;
    QTest::newRow("32-bit infinity") << 32 << inf << 0LL << 6;
    QTest::newRow("32-bit minus infinity") << 32 << -inf << 0LL << 6;
}

void CheckedMathTest::roundingToInteger()
{
    QFETCH(int, bits);
    QFETCH(double, value);
    QFETCH(qint64, expected);
    QFETCH(int, error);

    const Outcome outcome = outcomeOf([&]() -> double {
        return bits == 16 ? double(platform::toInt16(value)) : double(platform::toInt32(value));
    });
    QCOMPARE(outcome.error, error);
    if (error == NoError)
        QCOMPARE(qint64(outcome.value), expected);
}

void CheckedMathTest::singlePrecisionSum_data()
{
    QTest::addColumn<float>("a");
    QTest::addColumn<float>("b");
    QTest::addColumn<float>("expected");
    QTest::addColumn<int>("error");

    const float max = std::numeric_limits<float>::max();
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();

    QTest::newRow("frame height plus the title allowance") << 480.0f << 400.0f << 880.0f << NoError;
    QTest::newRow("large but finite") << 1e38f << 1e38f << 2e38f << NoError;
    QTest::newRow("sum overflowing to infinity") << max << max << 0.0f << 6;
    QTest::newRow("sum just overflowing to infinity") << 3e38f << 1e38f << 0.0f << 6;
    QTest::newRow("sum overflowing to minus infinity") << -max << -max << 0.0f << 6;
    QTest::newRow("infinite operand") << inf << 400.0f << 0.0f << 6;
    QTest::newRow("not-a-number operand") << nan << 100.0f << 0.0f << 6;
}

void CheckedMathTest::singlePrecisionSum()
{
    QFETCH(float, a);
    QFETCH(float, b);
    QFETCH(float, expected);
    QFETCH(int, error);

    const Outcome outcome = outcomeOf([&]() -> double { return platform::checkedAdd(a, b); });
    QCOMPARE(outcome.error, error);
    if (error == NoError)
        QCOMPARE(float(outcome.value), expected);
}

QTEST_APPLESS_MAIN(CheckedMathTest)
#include "tst_checkedmath.moc"
