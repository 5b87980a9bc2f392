// Numbered run-time errors: the checked arithmetic behind the figures, Draw and the window sizes
// (out of 16 or 32 bits, or without a value, is error 6 instead of a wrapped number; fractions
// round half to even), and what the user reads when an error meets no trap.

#include "core/checkedmath.h"
#include "platform/eventguard.h"
#include "support/testapp.h"

#include <QTest>

#include <cmath>
#include <functional>
#include <limits>
#include <map>

using namespace platform;
using namespace quorbel;
using namespace Qt::StringLiterals;

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double Error6 = std::numeric_limits<double>::quiet_NaN(); // as an expected result

const std::map<QByteArray, std::function<double(double, double)>> operations = {
    {"add16", [](double a, double b) { return checkedAdd<Int16>(Int16(a), Int16(b)); }},
    {"mul16", [](double a, double b) { return checkedMul<Int16>(Int16(a), Int16(b)); }},
    {"add32", [](double a, double b) { return checkedAdd<Int32>(Int32(a), Int32(b)); }},
    {"mul32", [](double a, double b) { return checkedMul<Int32>(Int32(a), Int32(b)); }},
    {"toInt16", [](double a, double) { return toInt16(a); }},
    {"toInt32", [](double a, double) { return toInt32(a); }},
    {"addFloat", [](double a, double b) { return checkedAdd(float(a), float(b)); }},
};

void row(const QByteArray &operation, double a, double b, double result)
{
    QTest::addRow("%s(%.12g, %.12g)", operation.constData(), a, b) << operation << a << b << result;
}

} // namespace

class TestErrors : public QObject
{
    Q_OBJECT

private slots:
    void arithmetic_data()
    {
        QTest::addColumn<QByteArray>("operation");
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("b");
        QTest::addColumn<double>("result");
        // The limits of both widths: reached, and passed by one or by a rounded half.
        for (const int bits : {16, 32}) {
            const double max = bits == 16 ? 32767 : 2147483647.0, min = -max - 1;
            const QByteArray add = "add" + QByteArray::number(bits),
                             to = "toInt" + QByteArray::number(bits);
            row(add, max - 1, 1, max);
            row(add, max, 1, Error6);
            row(add, min, -1, Error6);
            row("mul" + QByteArray::number(bits), min, -1, Error6);
            row(to, max + 0.4, 0, max);
            row(to, max + 0.5, 0, Error6);
            row(to, min - 0.5, 0, min); // the even neighbour is the minimum itself
            row(to, Error6, 0, Error6);
        }
        row("mul16", 256, 257, Error6); // would wrap to a small value
        row("mul32", 65536, 65536, Error6); // would wrap to zero
        row("toInt16", -2.5, 0, -2);
        row("toInt16", 1.5, 0, 2);
        row("toInt32", -infinity, 0, Error6);
        // Single precision, as the window sizes are summed.
        row("addFloat", 480, 400, 880);
        row("addFloat", 3e38, 1e38, Error6);
    }

    void arithmetic()
    {
        QFETCH(QByteArray, operation);
        QFETCH(double, a);
        QFETCH(double, b);
        QFETCH(double, result);
        double value = Error6;
        QCOMPARE(testframes::errorNumber([&] { value = operations.at(operation)(a, b); }),
                 std::isnan(result) ? 6 : 0);
        if (!std::isnan(result))
            QCOMPARE(value, result);
    }

    // The user reads the description immediately followed by the number, whatever failed, and the
    // program goes on; runAllThenRaise runs the rest after a failure, then raises it.
    void untrappedErrorsBecomeOneMessage()
    {
        TestApp app;
        QStringList ran;
        runEvent([] { raise(err::PathNotFound); });
        runEvent([] { throw std::bad_alloc(); });
        runEvent([] { throw 42; });
        runEvent([&] {
            runAllThenRaise([] { raise(err::Overflow); }, [&] { ran.append(u"rest"_s); });
            ran.append(u"after"_s);
        });
        QCOMPARE(app.messages,
                 (QStringList{u"Path not found76"_s, u"Out of memory7"_s, u"Internal error51"_s,
                              u"Overflow6"_s}));
        QCOMPARE(ran, QStringList{u"rest"_s});
    }
};

QTEST_MAIN(TestErrors)
#include "tst_errors.moc"
