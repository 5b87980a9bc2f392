#include "core/folderlisting.h"

#include "core/system.h"

#include <QRegularExpression>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace quorbel {

namespace {

// Hidden entries left out, links followed, dangling links, pipes and devices skipped.
QStringList entriesOfKind(const QString &folder, sys::EntryKind kind,
                          const std::function<bool(const QString &)> &wanted)
{
    QStringList names;
    sys::listFolder(folder, kind, [&](const QString &name) {
        if (wanted(name))
            names.append(name);
    });
    return names;
}

// A test of a name against a wildcard pattern, "*.bmp" and its kind by a plain comparison.
std::function<bool(const QString &)> patternTest(const QString &pattern)
{
    const QString suffix = pattern.mid(1);
    const bool plainSuffix = pattern.startsWith(u'*') && !suffix.contains(u'*')
        && !suffix.contains(u'?') && !suffix.contains(u'[');
    if (plainSuffix)
        return [suffix](const QString &name) { return name.endsWith(suffix, Qt::CaseInsensitive); };
    const QRegularExpression expression =
        QRegularExpression::fromWildcard(pattern, Qt::CaseInsensitive);
    return [expression](const QString &name) { return expression.match(name).hasMatch(); };
}

} // namespace

// In the order QDir gives for QDir::Name | QDir::IgnoreCase.
QStringList sortedByName(QStringList names)
{
    std::vector<std::pair<QString, QString>> keyed;
    keyed.reserve(size_t(names.size()));
    for (QString &name : names)
        keyed.emplace_back(name.toLower(), std::move(name));
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto &a, const auto &b) { return a.first.compare(b.first) < 0; });
    QStringList sorted;
    sorted.reserve(names.size());
    for (auto &entry : keyed)
        sorted.append(std::move(entry.second));
    return sorted;
}

QString firstByName(const QStringList &names)
{
    const auto first =
        std::min_element(names.cbegin(), names.cend(), [](const QString &a, const QString &b) {
            return a.toLower().compare(b.toLower()) < 0;
        });
    return first == names.cend() ? QString() : *first;
}

QStringList matchingFiles(const QString &folder, const QStringList &patterns, Order order)
{
    std::vector<std::function<bool(const QString &)>> tests;
    for (const QString &pattern : patterns)
        tests.push_back(patternTest(pattern));
    QStringList names = entriesOfKind(folder, sys::EntryKind::File, [&](const QString &name) {
        return std::any_of(tests.cbegin(), tests.cend(),
                           [&](const auto &test) { return test(name); });
    });
    return order == Order::Sorted ? sortedByName(std::move(names)) : names;
}

QStringList subfolders(const QString &folder)
{
    return sortedByName(
        entriesOfKind(folder, sys::EntryKind::Folder, [](const QString &) { return true; }));
}

} // namespace quorbel
