#include "navigator/frmdynamic.h"
#include "platform/folderlisting.h"
#include "platform/runtimeerror.h"
#include "support/navigatorsteps.h"
#include "support/testapp.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <clocale>
#include <string>

using platform::RuntimeError;
namespace err = platform::err;

namespace {

template <typename Call>
int errorNumber(Call call)
{
    try {
        call();
    } catch (const RuntimeError &error) {
        return error.number();
    }
    return 0;
}

// The order users rely on, written out for the plain ASCII names these tests use: ignoring case
// means comparing the lower-case forms; otherwise the character codes decide.
int referenceCompare(const QString &a, const QString &b, bool caseSensitive)
{
    const auto fold = [caseSensitive](QChar c) {
        const char16_t code = c.unicode();
        return (!caseSensitive && code >= u'A' && code <= u'Z') ? char16_t(code + 32) : code;
    };
    const qsizetype common = qMin(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t x = fold(a.at(i));
        const char16_t y = fold(b.at(i));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// The selection sort the frames have always been ordered by, step for step.
void referenceSelectionSort(QStringList &list, bool ascending, bool caseSensitive)
{
    const int wanted = ascending ? -1 : 1;
    const qsizetype hi = list.size() - 1;
    for (qsizetype i = 0; i < hi; ++i) {
        QString candidate = list.at(i);
        qsizetype k = i;
        for (qsizetype j = i + 1; j <= hi; ++j) {
            if (referenceCompare(list.at(j), candidate, caseSensitive) == wanted) {
                candidate = list.at(j);
                k = j;
            }
        }
        list[k] = list.at(i);
        list[i] = candidate;
    }
}

// A random list of names; with ties, names that differ only in case (or not at all) are common.
QStringList randomNames(QRandomGenerator &random, bool ties, bool caseSensitive)
{
    static const QString tieLetters = QStringLiteral("aAbB1.");
    // No punctuation but the full stop: where the others fall is left to the collation.
    static const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789.");
    const int count = random.bounded(2, 14);
    QStringList names;
    while (names.size() < count) {
        QString name;
        const int length = random.bounded(1, ties ? 4 : 9);
        for (int i = 0; i < length; ++i) {
            const QString &pool = ties ? tieLetters : letters;
            QChar c = pool.at(random.bounded(int(pool.size())));
            if (!ties && random.bounded(2) == 1)
                c = c.toUpper();
            name.append(c);
        }
        if (random.bounded(3) == 0)
            name.append(random.bounded(2) ? QStringLiteral(".bmp") : QStringLiteral(".BMP"));
        if (!ties) {
            bool clash = false;
            for (const QString &other : std::as_const(names))
                clash = clash || referenceCompare(name, other, caseSensitive) == 0;
            if (clash)
                continue;
        }
        names.append(name);
    }
    return names;
}

// Two different names that compare equal when case is ignored.
bool hasCaseOnlyTie(const QStringList &names)
{
    for (qsizetype i = 0; i < names.size(); ++i)
        for (qsizetype j = i + 1; j < names.size(); ++j)
            if (names.at(i) != names.at(j) && referenceCompare(names.at(i), names.at(j), false) == 0)
                return true;
    return false;
}

// The rest of the current listing, up to the empty name that ends it.
QStringList drain()
{
    QStringList names;
    for (int guard = 0; guard < 100000; ++guard) {
        const QString name = platform::Dir();
        if (name.isEmpty())
            return names;
        names.append(name);
    }
    return names;
}

QStringList frameNames()
{
    // Created in this scrambled order; the listing's own order is the file system's.
    return {QStringLiteral("walk05.bmp"), QStringLiteral("Walk01.bmp"), QStringLiteral("walk08.bmp"),
            QStringLiteral("walk03.bmp"), QStringLiteral("WALK02.bmp"), QStringLiteral("walk07.bmp"),
            QStringLiteral("walk04.bmp"), QStringLiteral("Walk06.bmp")};
}

QStringList sortedFrameNames()
{
    return {QStringLiteral("Walk01.bmp"), QStringLiteral("WALK02.bmp"), QStringLiteral("walk03.bmp"),
            QStringLiteral("walk04.bmp"), QStringLiteral("walk05.bmp"), QStringLiteral("Walk06.bmp"),
            QStringLiteral("walk07.bmp"), QStringLiteral("walk08.bmp")};
}

} // namespace

// The ordered frame list: how names are compared and sorted, how GetFiles reads them from the
// folder, and the folder enumeration beneath it.
class TestFrameList : public QObject
{
    Q_OBJECT

private slots:
    void sortsNames_data();
    void sortsNames();
    void fastSortMatchesSelectionSort_data();
    void fastSortMatchesSelectionSort();
    void orderIsTheSameInEveryLocale_data();
    void orderIsTheSameInEveryLocale();
    void sortingUnsizedArrayIsError9();

    void getFilesBelowTwoReadsOnlyFirstName_data();
    void getFilesBelowTwoReadsOnlyFirstName();
    void getFilesSortsWhateverTheListingOrder();
    void getFilesWithFolderChangedOnDisk_data();
    void getFilesWithFolderChangedOnDisk();
    void getFilesIntoUnsizedListIsError9();

    void dirListsThenFailsAfterTheEnd();
    void dirTakesDoubledSeparatorAsOne();
    void dirAndFileListAgreeOnMatches();
};

void TestFrameList::sortsNames_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QStringList>("expected");

    const auto list = [](std::initializer_list<const char16_t *> items) {
        QStringList out;
        for (const char16_t *item : items)
            out.append(QString::fromUtf16(item));
        return out;
    };
    QTest::newRow("digits compare as characters")
        << list({u"frame1.bmp", u"frame2.bmp", u"frame10.bmp"}) << true << false
        << list({u"frame1.bmp", u"frame10.bmp", u"frame2.bmp"});
    QTest::newRow("case ignored")
        << list({u"Walk02.bmp", u"walk01.bmp"}) << true << false
        << list({u"walk01.bmp", u"Walk02.bmp"});
    QTest::newRow("letters alphabetical whatever their case")
        << list({u"d", u"B", u"c", u"A"}) << true << false << list({u"A", u"B", u"c", u"d"});
    QTest::newRow("empty name first")
        << list({u"b.bmp", u"", u"a.bmp"}) << true << false << list({u"", u"a.bmp", u"b.bmp"});
    QTest::newRow("full stop before digits and letters")
        << list({u"frame1a.bmp", u"frame10.bmp", u"frame1.bmp"}) << true << false
        << list({u"frame1.bmp", u"frame10.bmp", u"frame1a.bmp"});
    QTest::newRow("digits before letters")
        << list({u"xb.bmp", u"xA.bmp", u"x9.bmp"}) << true << false
        << list({u"x9.bmp", u"xA.bmp", u"xb.bmp"});
    // B1 = "b.bmp" and B2 = "B.bmp" compare equal; the exchange carries B1 past B2.
    QTest::newRow("case-only tie B1 B2 A")
        << list({u"b.bmp", u"B.bmp", u"a.bmp"}) << true << false
        << list({u"a.bmp", u"B.bmp", u"b.bmp"});
    QTest::newRow("case-only tie descending")
        << list({u"A", u"a", u"b"}) << false << false << list({u"b", u"a", u"A"});
    QTest::newRow("descending") << list({u"a", u"b", u"c"}) << false << false
                                << list({u"c", u"b", u"a"});
    QTest::newRow("descending is a new sort, not a reversal")
        << list({u"b", u"c", u"a"}) << false << false << list({u"c", u"b", u"a"});
    QTest::newRow("character codes: capitals before underscore before small letters")
        << list({u"a", u"_", u"Z", u"b", u"B"}) << true << true
        << list({u"B", u"Z", u"_", u"a", u"b"});
    QTest::newRow("character codes descending")
        << list({u"Walk02.bmp", u"walk01.bmp", u"walk03.bmp"}) << false << true
        << list({u"walk03.bmp", u"walk01.bmp", u"Walk02.bmp"});
    QTest::newRow("single entry") << list({u"only.bmp"}) << true << false << list({u"only.bmp"});
}

void TestFrameList::sortsNames()
{
    QFETCH(QStringList, names);
    QFETCH(bool, ascending);
    QFETCH(bool, caseSensitive);
    QFETCH(QStringList, expected);
    frmDynamic::SortArray(names, ascending, caseSensitive);
    QCOMPARE(names, expected);
}

// The product sorts lists without ties faster than the selection sort; whatever the path, the
// result must be the selection sort's, ties included.
void TestFrameList::fastSortMatchesSelectionSort_data()
{
    QTest::addColumn<bool>("ties");
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<bool>("caseSensitive");
    for (bool ties : {false, true})
        for (bool ascending : {true, false})
            for (bool caseSensitive : {false, true})
                QTest::addRow("%s, %s, %s", ties ? "ties" : "no ties",
                              ascending ? "ascending" : "descending",
                              caseSensitive ? "case-sensitive" : "ignoring case")
                    << ties << ascending << caseSensitive;
}

void TestFrameList::fastSortMatchesSelectionSort()
{
    QFETCH(bool, ties);
    QFETCH(bool, ascending);
    QFETCH(bool, caseSensitive);

    // A long tie case first: many spellings of the same few names.
    QStringList longTie{QStringLiteral("b.bmp"), QStringLiteral("B.bmp"), QStringLiteral("a.BMP"),
                        QStringLiteral("c.bmp"), QStringLiteral("A.bmp"), QStringLiteral("b.BMP"),
                        QStringLiteral("C.BMP"), QStringLiteral("a.bmp"), QStringLiteral("B.BMP"),
                        QStringLiteral("c.Bmp"), QStringLiteral("A.Bmp")};
    QStringList expected = longTie;
    referenceSelectionSort(expected, ascending, caseSensitive);
    frmDynamic::SortArray(longTie, ascending, caseSensitive);
    QCOMPARE(longTie, expected);

    QRandomGenerator random(20240611u + (ties ? 1 : 0) + (ascending ? 2 : 0) + (caseSensitive ? 4 : 0));
    int listsWithTies = 0;
    for (int round = 0; round < 400; ++round) {
        QStringList names = randomNames(random, ties, caseSensitive);
        QStringList wanted = names;
        referenceSelectionSort(wanted, ascending, caseSensitive);
        if (hasCaseOnlyTie(names))
            ++listsWithTies;
        const QStringList input = names;
        frmDynamic::SortArray(names, ascending, caseSensitive);
        QVERIFY2(names == wanted, qPrintable(QStringLiteral("input [%1]: got [%2], expected [%3]")
                                                 .arg(input.join(u','), names.join(u','),
                                                      wanted.join(u','))));
    }
    // Ignoring case, the tie lists must really hold names that differ only in case.
    if (ties && !caseSensitive)
        QVERIFY(listsWithTies > 100);
}

void TestFrameList::orderIsTheSameInEveryLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("C") << QStringLiteral("C");
    QTest::newRow("de_DE") << QStringLiteral("de_DE");
    QTest::newRow("tr_TR") << QStringLiteral("tr_TR");
    QTest::newRow("sv_SE") << QStringLiteral("sv_SE");
    QTest::newRow("en_US") << QStringLiteral("en_US");
}

void TestFrameList::orderIsTheSameInEveryLocale()
{
    QFETCH(QString, locale);
    const QLocale previousLocale;
    const std::string previousC = std::setlocale(LC_ALL, nullptr);
    const auto restore = qScopeGuard([&] {
        QLocale::setDefault(previousLocale);
        std::setlocale(LC_ALL, previousC.c_str());
    });
    QLocale::setDefault(QLocale(locale));
    // The machine may lack the C library's locale; Qt's own locale data is always there.
    if (locale != QStringLiteral("C"))
        std::setlocale(LC_ALL, (locale + QStringLiteral(".UTF-8")).toUtf8().constData());
    else
        std::setlocale(LC_ALL, "C");

    // Turkish folds I to a dotless i, Swedish and German collations weigh punctuation and case
    // their own way, and the C collation is by code: none of that may show.
    QStringList names{QStringLiteral("Walk02.bmp"), QStringLiteral("frame2.bmp"),
                      QStringLiteral("ia.bmp"),     QStringLiteral("Iz.bmp"),
                      QStringLiteral("frame10.bmp"), QString(),
                      QStringLiteral("frame1.bmp"), QStringLiteral("walk01.bmp"),
                      QStringLiteral("Frame.bmp"),  QStringLiteral("frame1a.bmp"),
                      QStringLiteral("Zeta.bmp"),   QStringLiteral("alpha.bmp"),
                      QStringLiteral("9.bmp")};
    const QStringList expected{QString(),
                               QStringLiteral("9.bmp"),
                               QStringLiteral("alpha.bmp"),
                               QStringLiteral("Frame.bmp"),
                               QStringLiteral("frame1.bmp"),
                               QStringLiteral("frame10.bmp"),
                               QStringLiteral("frame1a.bmp"),
                               QStringLiteral("frame2.bmp"),
                               QStringLiteral("ia.bmp"),
                               QStringLiteral("Iz.bmp"),
                               QStringLiteral("walk01.bmp"),
                               QStringLiteral("Walk02.bmp"),
                               QStringLiteral("Zeta.bmp")};
    QStringList descending = names;
    frmDynamic::SortArray(names, true, false);
    QCOMPARE(names, expected);
    frmDynamic::SortArray(descending, false, false);
    QStringList reversed = expected;
    std::reverse(reversed.begin(), reversed.end());
    QCOMPARE(descending, reversed);
}

void TestFrameList::sortingUnsizedArrayIsError9()
{
    QStringList never;
    QCOMPARE(errorNumber([&] { frmDynamic::SortArray(never, true, false); }),
             err::SubscriptOutOfRange);
}

void TestFrameList::getFilesBelowTwoReadsOnlyFirstName_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("Numoffiles 0") << 0;
    QTest::newRow("Numoffiles 1") << 1;
}

void TestFrameList::getFilesBelowTwoReadsOnlyFirstName()
{
    QFETCH(int, count);
    TestApp app;
    QTemporaryDir frames;
    const QStringList names{QStringLiteral("c.bmp"), QStringLiteral("a.bmp"), QStringLiteral("b.bmp")};
    QVERIFY(steps::writeFrames(frames.path(), names, 4, 4));
    steps::startIn(app, frames.path());
    frmDynamic &nav = steps::navigator();
    QCOMPARE(nav.FileNames.size(), 3);

    platform::Int16 numoffiles = platform::Int16(count);
    platform::Int16 last = -1;
    QCOMPARE(errorNumber([&] { last = nav.GetFiles(numoffiles); }), 0);
    QCOMPARE(last, platform::Int16(0));
    QCOMPARE(numoffiles, platform::Int16(count));
    // One name read; the sort still covers the two entries left empty.
    QCOMPARE(nav.FileNames.size(), 3);
    QCOMPARE(nav.FileNames.at(0), QString());
    QCOMPARE(nav.FileNames.at(1), QString());
    const QString first = nav.FileNames.at(2);
    QVERIFY(names.contains(first));
    // The listing stopped after its first name: the other two are still to come.
    QStringList rest = drain();
    QCOMPARE(rest.size(), 2);
    rest.append(first);
    QCOMPARE(QSet<QString>(rest.begin(), rest.end()), QSet<QString>(names.begin(), names.end()));
    QVERIFY(app.messages.isEmpty());
}

void TestFrameList::getFilesSortsWhateverTheListingOrder()
{
    TestApp app;
    QTemporaryDir frames;
    QVERIFY(steps::writeFrames(frames.path(), frameNames(), 4, 4));
    steps::startIn(app, frames.path());
    frmDynamic &nav = steps::navigator();
    QCOMPARE(nav.NumOfFrames, platform::Int16(8));

    platform::Int16 numoffiles = 8;
    platform::Int16 last = -1;
    QCOMPARE(errorNumber([&] { last = nav.GetFiles(numoffiles); }), 0);
    QCOMPARE(last, platform::Int16(7));
    QCOMPARE(nav.FileNames, sortedFrameNames());
    QCOMPARE(numoffiles, platform::Int16(8));
}

void TestFrameList::getFilesWithFolderChangedOnDisk_data()
{
    QTest::addColumn<QStringList>("removed");
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<int>("error");
    QTest::addColumn<QStringList>("expected"); // when no error; empty: check the taken names

    QStringList oneFewer = sortedFrameNames();
    oneFewer.removeAll(QStringLiteral("walk05.bmp"));
    oneFewer.prepend(QString());
    QTest::newRow("one file fewer: empty name sorted first")
        << QStringList{QStringLiteral("walk05.bmp")} << QStringList() << 0 << oneFewer;
    QTest::newRow("two files fewer: listing continued past its end")
        << QStringList{QStringLiteral("walk05.bmp"), QStringLiteral("Walk01.bmp")} << QStringList()
        << err::InvalidProcedureCall << QStringList();
    QTest::newRow("more files than counted: only the count taken")
        << QStringList() << QStringList{QStringLiteral("walk09.bmp"), QStringLiteral("A00.bmp")} << 0
        << QStringList();
}

void TestFrameList::getFilesWithFolderChangedOnDisk()
{
    QFETCH(QStringList, removed);
    QFETCH(QStringList, added);
    QFETCH(int, error);
    QFETCH(QStringList, expected);

    TestApp app;
    QTemporaryDir frames;
    QVERIFY(steps::writeFrames(frames.path(), frameNames(), 4, 4));
    steps::startIn(app, frames.path());
    frmDynamic &nav = steps::navigator();
    QCOMPARE(nav.FileNames.size(), 8);

    for (const QString &name : std::as_const(removed))
        QVERIFY(QFile::remove(QDir(frames.path()).filePath(name)));
    QVERIFY(steps::writeFrames(frames.path(), added, 4, 4));

    platform::Int16 numoffiles = 8;
    platform::Int16 last = -1;
    QCOMPARE(errorNumber([&] { last = nav.GetFiles(numoffiles); }), error);
    QCOMPARE(numoffiles, platform::Int16(8));
    if (error != 0)
        return;
    QCOMPARE(last, platform::Int16(7));
    QCOMPARE(nav.FileNames.size(), 8);
    if (!expected.isEmpty()) {
        QCOMPARE(nav.FileNames, expected);
        return;
    }
    // Which names were left out depends on the file system's order; the 8 taken are distinct
    // files of the folder, in ascending order, and the listing still holds the other two.
    const QStringList onDisk = steps::entries(frames.path());
    for (qsizetype i = 0; i < nav.FileNames.size(); ++i) {
        QVERIFY2(onDisk.contains(nav.FileNames.at(i)), qPrintable(nav.FileNames.at(i)));
        if (i > 0)
            QCOMPARE(referenceCompare(nav.FileNames.at(i - 1), nav.FileNames.at(i), false), -1);
    }
    QStringList all = nav.FileNames + drain();
    QCOMPARE(QSet<QString>(all.begin(), all.end()), QSet<QString>(onDisk.begin(), onDisk.end()));
    QCOMPARE(all.size(), 10);
}

void TestFrameList::getFilesIntoUnsizedListIsError9()
{
    TestApp app;
    QTemporaryDir single;
    QVERIFY(steps::writeFrames(single.path(), {QStringLiteral("one.bmp")}, 4, 4));
    steps::startIn(app, single.path());
    frmDynamic &nav = steps::navigator();
    QCOMPARE(nav.FileNames.size(), 0);

    platform::Int16 numoffiles = 2;
    QCOMPARE(errorNumber([&] { nav.GetFiles(numoffiles); }), err::SubscriptOutOfRange);

    // A list sized for 3 frames cannot take the names of 5 either.
    QTemporaryDir three;
    QVERIFY(steps::writeFrames(three.path(),
                               {QStringLiteral("a.bmp"), QStringLiteral("b.bmp"), QStringLiteral("c.bmp")},
                               4, 4));
    steps::openFolder(three.path());
    QCOMPARE(nav.FileNames.size(), 3);
    QVERIFY(steps::writeFrames(three.path(), {QStringLiteral("d.bmp"), QStringLiteral("e.bmp")}, 4, 4));
    numoffiles = 5;
    QCOMPARE(errorNumber([&] { nav.GetFiles(numoffiles); }), err::SubscriptOutOfRange);
    QCOMPARE(nav.FileNames.size(), 3);
}

void TestFrameList::dirListsThenFailsAfterTheEnd()
{
    QTemporaryDir folder;
    QVERIFY(steps::writeFrames(folder.path(), {QStringLiteral("b.bmp"), QStringLiteral("a.bmp")}, 2, 2));
    const QString first = platform::Dir(folder.path() + QStringLiteral("/*.bmp"));
    const QString second = platform::Dir();
    QCOMPARE(QSet<QString>({first, second}), QSet<QString>({QStringLiteral("a.bmp"), QStringLiteral("b.bmp")}));
    QCOMPARE(platform::Dir(), QString());
    QCOMPARE(errorNumber([] { platform::Dir(); }), err::InvalidProcedureCall);

    // Starting again begins a new listing.
    QVERIFY(!platform::Dir(folder.path() + QStringLiteral("/*.bmp")).isEmpty());

    QTemporaryDir empty;
    QCOMPARE(platform::Dir(empty.path() + QStringLiteral("/*.bmp")), QString());
    QCOMPARE(errorNumber([] { platform::Dir(); }), err::InvalidProcedureCall);
}

void TestFrameList::dirTakesDoubledSeparatorAsOne()
{
    // What the root holds, found without the program's listing.
    QSet<QString> rootBitmaps;
    for (const QFileInfo &info : QDir(QStringLiteral("/")).entryInfoList(QDir::Files | QDir::Hidden)) {
        if (info.isFile() && !info.fileName().startsWith(u'.')
            && info.fileName().endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive))
            rootBitmaps.insert(info.fileName());
    }
    QStringList listed;
    int error = errorNumber([&] {
        const QString first = platform::Dir(QStringLiteral("/") + QStringLiteral("/*.bmp"));
        if (!first.isEmpty())
            listed = QStringList{first} + drain();
    });
    QCOMPARE(error, 0);
    QCOMPARE(QSet<QString>(listed.begin(), listed.end()), rootBitmaps);

    QTemporaryDir folder;
    QVERIFY(steps::writeFrames(folder.path(), {QStringLiteral("x.bmp"), QStringLiteral("Y.BMP")}, 2, 2));
    QStringList inFolder{platform::Dir(folder.path() + QStringLiteral("//*.bmp"))};
    inFolder += drain();
    QCOMPARE(QSet<QString>(inFolder.begin(), inFolder.end()),
             QSet<QString>({QStringLiteral("x.bmp"), QStringLiteral("Y.BMP")}));
}

void TestFrameList::dirAndFileListAgreeOnMatches()
{
    TestApp app;
    QTemporaryDir empty;
    steps::startIn(app, empty.path());

    QTemporaryDir folder;
    const QStringList matching{QStringLiteral("WALK.BMP"), QStringLiteral("walk.bmp"),
                               QStringLiteral("Frame.Bmp"), QStringLiteral("a.bmp"),
                               QStringLiteral("space name.bmp")};
    QVERIFY(steps::writeFrames(folder.path(), matching, 2, 2));
    QVERIFY(steps::writeFrames(folder.path(),
                               {QStringLiteral(".hidden.bmp"), QStringLiteral("notes.txt"),
                                QStringLiteral("x.bmp.txt"), QStringLiteral("bmp"),
                                QStringLiteral("a.bmpx")},
                               2, 2));
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("sub.bmp")));

    steps::openFolder(folder.path());
    frmDynamic &nav = steps::navigator();
    QStringList shown;
    for (int row = 0; row < nav.File1->model()->rowCount(); ++row)
        shown.append(nav.File1->model()->index(row, 0).data().toString());

    QStringList listed{platform::Dir(folder.path() + QStringLiteral("/*.bmp"))};
    listed += drain();

    const QSet<QString> expected(matching.begin(), matching.end());
    QCOMPARE(QSet<QString>(shown.begin(), shown.end()), expected);
    QCOMPARE(QSet<QString>(listed.begin(), listed.end()), expected);
    QCOMPARE(listed.size(), matching.size());
    QCOMPARE(nav.lblNumOfFrames->text(), QStringLiteral("5"));
}

QTEST_MAIN(TestFrameList)
#include "tst_framelist.moc"
