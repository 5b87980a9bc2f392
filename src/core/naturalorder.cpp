#include "core/naturalorder.h"

namespace quorbel {

namespace {

// The digit run starting at `at`, as its digits without leading zeros, and where it ends.
QStringView digitRun(const QString &text, qsizetype &at)
{
    const qsizetype start = at;
    while (at < text.size() && text.at(at).isDigit())
        ++at;
    qsizetype significant = start;
    while (significant < at - 1 && text.at(significant) == u'0')
        ++significant;
    return QStringView(text).sliced(significant, at - significant);
}

} // namespace

bool naturalLess(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a.at(i).isDigit() && b.at(j).isDigit()) {
            const qsizetype startA = i;
            const qsizetype startB = j;
            const QStringView numberA = digitRun(a, i);
            const QStringView numberB = digitRun(b, j);
            if (numberA.size() != numberB.size())
                return numberA.size() < numberB.size();
            if (const int order = numberA.compare(numberB); order != 0)
                return order < 0;
            if (i - startA != j - startB)
                return i - startA < j - startB;
            continue;
        }
        const int order =
            QStringView(a).sliced(i, 1).compare(QStringView(b).sliced(j, 1), Qt::CaseInsensitive);
        if (order != 0)
            return order < 0;
        ++i;
        ++j;
    }
    if (a.size() - i != b.size() - j)
        return a.size() - i < b.size() - j;
    return a.compare(b) < 0;
}

} // namespace quorbel
