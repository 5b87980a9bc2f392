// The checked arithmetic behind the figures of the frame set, Draw and the window sizes: sums,
// products and conversions that leave 16 or 32 bits or have no value are error 6 instead of
// wrapping, and fractions round half to even.

#include "platform/checkedmath.h"

#include <QTest>

#include <cmath>
#include <functional>
#include <limits>
#include <map>

using namespace platform;

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double Error6 = notANumber; // as an expected result: run-time error 6

const std::map<QByteArray, std::function<double(double, double)>> operations = {
    {"add16", [](double a, double b) { return checkedAdd<Int16>(Int16(a), Int16(b)); }},
    {"mul16", [](double a, double b) { return checkedMul<Int16>(Int16(a), Int16(b)); }},
    {"add32", [](double a, double b) { return checkedAdd<Int32>(Int32(a), Int32(b)); }},
    {"mul32", [](double a, double b) { return checkedMul<Int32>(Int32(a), Int32(b)); }},
    {"toInt16", [](double a, double) { return toInt16(a); }},
    {"toInt32", [](double a, double) { return toInt32(a); }},
    {"addFloat", [](double a, double b) { return checkedAdd(float(a), float(b)); }},
};

// A row named after the call, such as "add16(32766, 1)" or "toInt16(2.5)".
void row(const QByteArray &operation, double a, double b, double result)
{
    const char *name = operation.startsWith("to") ? "%s(%.12g)" : "%s(%.12g, %.12g)";
    QTest::addRow(name, operation.constData(), a, b) << operation << a << b << result;
}

} // namespace

class CheckedMathTest : public QObject
{
    Q_OBJECT

private slots:
    void arithmetic_data();
    void arithmetic();
};

void CheckedMathTest::arithmetic_data()
{
    QTest::addColumn<QByteArray>("operation");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("result");

    // The limits of both widths: reached, and passed by one or by a rounded half.
    for (const int bits : {16, 32}) {
        const double max = bits == 16 ? 32767 : 2147483647.0, min = -max - 1;
        const QByteArray add = "add" + QByteArray::number(bits);
        const QByteArray to = "toInt" + QByteArray::number(bits);
        row(add, max - 1, 1, max);
        row(add, max, 1, Error6);
        row(add, min + 1, -1, min);
        row(add, min, -1, Error6);
        row("mul" + QByteArray::number(bits), min, -1, Error6);
        row(to, max + 0.4, 0, max);
        row(to, max + 0.5, 0, Error6);
        row(to, min - 0.5, 0, min); // the even neighbour is the minimum itself
        row(to, min - 1, 0, Error6);
        row(to, -2.5, 0, -2);
        row(to, notANumber, 0, Error6);
        row(to, infinity, 0, Error6);
        row(to, -infinity, 0, Error6);
    }
    row("mul16", 181, 181, 32761);
    row("mul16", 182, 181, Error6);
    row("mul16", -256, 128, -32768);
    row("mul16", 256, 257, Error6); // would wrap to a small value
    row("mul32", 46341, 46340, 2147441940);
    row("mul32", 46341, 46341, Error6);
    row("mul32", -65536, 32768, -2147483648.0);
    row("mul32", 65536, 65536, Error6); // would wrap to zero
    row("toInt16", 32768, 0, Error6);
    row("toInt16", 0.5, 0, 0); // half to even
    row("toInt16", 1.5, 0, 2);
    row("toInt16", 2.5, 0, 2);
    // Single precision, as the window sizes are summed.
    row("addFloat", 480, 400, 880);
    row("addFloat", 1e38, 1e38, double(2e38f));
    row("addFloat", 3e38, 1e38, Error6);
    row("addFloat", -3e38, -3e38, Error6);
    row("addFloat", infinity, 400, Error6);
    row("addFloat", notANumber, 100, Error6);
}

void CheckedMathTest::arithmetic()
{
    QFETCH(QByteArray, operation);
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, result);

    double value = 0;
    int error = 0;
    try {
        value = operations.at(operation)(a, b);
    } catch (const RuntimeError &raised) {
        error = raised.number();
    }
    QCOMPARE(error, std::isnan(result) ? 6 : 0);
    if (!std::isnan(result))
        QCOMPARE(value, result);
}

QTEST_APPLESS_MAIN(CheckedMathTest)
#include "tst_checkedmath.moc"
