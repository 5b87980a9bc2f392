#include "navigator/frmdynamic.h"
#include "platform/folderlisting.h"
#include "platform/runtimeerror.h"
#include "support/navigatorsteps.h"
#include "support/testapp.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSet>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <clocale>
#include <string>

using namespace Qt::StringLiterals;
namespace err = platform::err;

namespace {

template <typename Call>
int errorNumber(Call call)
{
    try {
        call();
    } catch (const platform::RuntimeError &error) {
        return error.number();
    }
    return 0;
}

// The order users rely on, for the plain ASCII names used here: ignoring case compares the
// lower-case forms, otherwise the character codes decide.
int referenceCompare(QString a, QString b, bool caseSensitive)
{
    if (!caseSensitive) {
        a = a.toLower();
        b = b.toLower();
    }
    return a < b ? -1 : (b < a ? 1 : 0);
}

// The selection sort the frames have always been ordered by, step for step.
void referenceSelectionSort(QStringList &list, bool ascending, bool caseSensitive)
{
    for (qsizetype i = 0; i + 1 < list.size(); ++i) {
        qsizetype k = i;
        for (qsizetype j = i + 1; j < list.size(); ++j) {
            if (referenceCompare(list.at(j), list.at(k), caseSensitive) == (ascending ? -1 : 1))
                k = j;
        }
        list.swapItemsAt(i, k);
    }
}

// A random list of names; with ties, names that differ only in case (or not at all) are common.
QStringList randomNames(QRandomGenerator &random, bool ties, bool caseSensitive)
{
    // No punctuation but the full stop: where the others fall is left to the collation.
    const QString pool = ties ? u"aAbB1."_s : u"abcdefghijklmnopqrstuvwxyz0123456789."_s;
    const int count = random.bounded(2, 14);
    QStringList names;
    while (names.size() < count) {
        QString name;
        for (int i = random.bounded(1, ties ? 4 : 9); i > 0; --i) {
            const QChar c = pool.at(random.bounded(int(pool.size())));
            name.append(!ties && random.bounded(2) == 1 ? c.toUpper() : c);
        }
        if (random.bounded(3) == 0)
            name.append(random.bounded(2) ? u".bmp"_s : u".BMP"_s);
        if (ties || std::none_of(names.cbegin(), names.cend(), [&](const QString &other) {
                return referenceCompare(name, other, caseSensitive) == 0;
            }))
            names.append(name);
    }
    return names;
}

// The rest of the current listing, up to the empty name that ends it.
QStringList drain()
{
    QStringList names;
    for (QString name = platform::Dir(); !name.isEmpty() && names.size() < 100000;
         name = platform::Dir())
        names.append(name);
    return names;
}

QStringList listAll(const QString &pathPattern)
{
    const QString first = platform::Dir(pathPattern);
    return first.isEmpty() ? QStringList() : QStringList{first} + drain();
}

QSet<QString> asSet(const QStringList &names)
{
    return QSet<QString>(names.cbegin(), names.cend());
}

} // namespace

// The ordered frame list: how names are sorted, how GetFiles reads them from the folder, and the
// folder enumeration beneath it.
class TestFrameList : public QObject
{
    Q_OBJECT

private slots:
    void sortsNames_data();
    void sortsNames();
    void fastSortMatchesSelectionSort_data();
    void fastSortMatchesSelectionSort();
    void sortingUnsizedListIsError9();
    void getFiles_data();
    void getFiles();
    void dirContract();
    void dirAndFileListAgreeOnMatches();
};

// Every case in every locale: Turkish folds I to a dotless i, Swedish and German collations weigh
// punctuation and case their own way, and the C collation is by code; none of that may show.
void TestFrameList::sortsNames_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QStringList>("expected");

    const auto row = [](const char *locale, const char *name, const char16_t *names, bool ascending,
                        bool caseSensitive, const char16_t *expected) {
        QTest::addRow("%s: %s", locale, name)
            << QString::fromLatin1(locale) << QString::fromUtf16(names).split(u',') << ascending
            << caseSensitive << QString::fromUtf16(expected).split(u',');
    };
    for (const char *l : {"C", "de_DE", "tr_TR", "sv_SE", "en_US"}) {
        row(l, "digits compare as characters", u"frame1.bmp,frame2.bmp,frame10.bmp", true, false,
            u"frame1.bmp,frame10.bmp,frame2.bmp");
        row(l, "case ignored", u"Walk02.bmp,walk01.bmp", true, false, u"walk01.bmp,Walk02.bmp");
        row(l, "letters alphabetical whatever their case", u"d,B,Zeta,c,A", true, false,
            u"A,B,c,d,Zeta");
        row(l, "dotted and dotless i", u"Iz.bmp,ia.bmp,IB.bmp", true, false,
            u"ia.bmp,IB.bmp,Iz.bmp");
        row(l, "empty name first", u"b.bmp,,a.bmp", true, false, u",a.bmp,b.bmp");
        row(l, "full stop before digits and letters",
            u"frame1a.bmp,Frame.bmp,frame10.bmp,frame1.bmp", true, false,
            u"Frame.bmp,frame1.bmp,frame10.bmp,frame1a.bmp");
        row(l, "digits before letters", u"xb.bmp,xA.bmp,x9.bmp", true, false,
            u"x9.bmp,xA.bmp,xb.bmp");
        // B1 = "b.bmp" and B2 = "B.bmp" compare equal; the exchange carries B1 past B2.
        row(l, "case-only tie B1 B2 A", u"b.bmp,B.bmp,a.bmp", true, false, u"a.bmp,B.bmp,b.bmp");
        row(l, "case-only tie descending", u"A,a,b", false, false, u"b,a,A");
        row(l, "descending is a new sort, not a reversal", u"b,Ia,c,a", false, false, u"Ia,c,b,a");
        row(l, "character codes: capitals, underscore, small letters", u"a,_,Z,b,B", true, true,
            u"B,Z,_,a,b");
        row(l, "character codes descending", u"Walk02.bmp,walk01.bmp,walk03.bmp", false, true,
            u"walk03.bmp,walk01.bmp,Walk02.bmp");
        row(l, "single entry", u"only.bmp", true, false, u"only.bmp");
    }
}

void TestFrameList::sortsNames()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, names);
    QFETCH(bool, ascending);
    QFETCH(bool, caseSensitive);
    QFETCH(QStringList, expected);
    const QLocale previousLocale;
    const std::string previousC = std::setlocale(LC_ALL, nullptr);
    const auto restore = qScopeGuard([&] {
        QLocale::setDefault(previousLocale);
        std::setlocale(LC_ALL, previousC.c_str());
    });
    QLocale::setDefault(QLocale(locale));
    // The machine may lack the C library's locale; Qt's own locale data is always there.
    std::setlocale(LC_ALL, (locale == u"C"_s ? locale : locale + u".UTF-8"_s).toUtf8().constData());

    frmDynamic::SortArray(names, ascending, caseSensitive);
    QCOMPARE(names, expected);
}

// Lists without ties take a faster path; whatever the path, the result must be the selection
// sort's, ties included.
void TestFrameList::fastSortMatchesSelectionSort_data()
{
    QTest::addColumn<bool>("ties");
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<bool>("caseSensitive");
    for (int i = 0; i < 8; ++i)
        QTest::addRow("%s, %s, %s", i & 1 ? "ties" : "no ties", i & 2 ? "ascending" : "descending",
                      i & 4 ? "case-sensitive" : "ignoring case")
            << bool(i & 1) << bool(i & 2) << bool(i & 4);
}

void TestFrameList::fastSortMatchesSelectionSort()
{
    QFETCH(bool, ties);
    QFETCH(bool, ascending);
    QFETCH(bool, caseSensitive);
    QRandomGenerator random(20240611u + (ties ? 1 : 0) + (ascending ? 2 : 0)
                            + (caseSensitive ? 4 : 0));
    // A long tie case first, many spellings of the same few names; then random lists.
    QList<QStringList> lists{{u"b.bmp"_s, u"B.bmp"_s, u"a.BMP"_s, u"c.bmp"_s, u"A.bmp"_s,
                              u"b.BMP"_s, u"C.BMP"_s, u"a.bmp"_s, u"B.BMP"_s, u"c.Bmp"_s,
                              u"A.Bmp"_s}};
    while (lists.size() <= 400)
        lists.append(randomNames(random, ties, caseSensitive));
    for (const QStringList &input : std::as_const(lists)) {
        QStringList names = input, expected = input;
        referenceSelectionSort(expected, ascending, caseSensitive);
        frmDynamic::SortArray(names, ascending, caseSensitive);
        QVERIFY2(names == expected, qPrintable(u"input [%1]: got [%2], expected [%3]"_s.arg(
                                        input.join(u','), names.join(u','), expected.join(u','))));
    }
}

void TestFrameList::sortingUnsizedListIsError9()
{
    QStringList never;
    QCOMPARE(errorNumber([&] { frmDynamic::SortArray(never, true, false); }),
             err::SubscriptOutOfRange);
}

// A folder of walk frames, changed on disk after the Navigator counted them.
void TestFrameList::getFiles_data()
{
    QTest::addColumn<int>("frames");
    QTest::addColumn<QStringList>("removed");
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("error");
    QTest::addColumn<QStringList>("expected"); // empty where the names taken depend on the disk

    const QStringList walk = steps::walkNames();
    const QStringList none, more{u"walk09.bmp"_s, u"A00.bmp"_s};
    QTest::newRow("Numoffiles 0: only the first name read") << 8 << none << none << 0 << 0 << none;
    QTest::newRow("Numoffiles 1: only the first name read") << 8 << none << none << 1 << 0 << none;
    QTest::newRow("8 of 8, sorted whatever the listing order")
        << 8 << none << none << 8 << 0 << walk;
    QTest::newRow("one file fewer: empty name sorted first")
        << 8 << QStringList{walk.at(4)} << none << 8 << 0
        << QStringList{QString()} + walk.mid(0, 4) + walk.mid(5);
    QTest::newRow("two files fewer: listing continued past its end")
        << 8 << QStringList{walk.at(4), walk.at(0)} << none << 8 << err::InvalidProcedureCall
        << none;
    QTest::newRow("more files than counted: only the count taken")
        << 8 << none << more << 8 << 0 << none;
    // One frame leaves the list unsized; a list sized for 3 cannot take 5 names either.
    QTest::newRow("unsized list") << 1 << none << none << 2 << err::SubscriptOutOfRange << none;
    QTest::newRow("more names than the list holds")
        << 3 << none << more << 5 << err::SubscriptOutOfRange << none;
}

void TestFrameList::getFiles()
{
    QFETCH(int, frames);
    QFETCH(QStringList, removed);
    QFETCH(QStringList, added);
    QFETCH(int, count);
    QFETCH(int, error);
    QFETCH(QStringList, expected);

    TestApp app;
    QTemporaryDir folder;
    QVERIFY(steps::writeFrames(folder.path(), steps::walkNames(frames), 4, 4, steps::scrambled));
    steps::startIn(app, folder.path());
    frmDynamic &nav = steps::navigator();
    const int size = frames < 2 ? 0 : frames;
    QCOMPARE(nav.FileNames.size(), size);
    for (const QString &name : std::as_const(removed))
        QVERIFY(QFile::remove(QDir(folder.path()).filePath(name)));
    QVERIFY(steps::writeFrames(folder.path(), added, 4, 4));

    platform::Int16 numoffiles = platform::Int16(count);
    platform::Int16 last = -1;
    QCOMPARE(errorNumber([&] { last = nav.GetFiles(numoffiles); }), error);
    QCOMPARE(numoffiles, platform::Int16(count));
    QCOMPARE(nav.FileNames.size(), size);
    QVERIFY(app.messages.isEmpty());
    if (error != 0)
        return;
    QCOMPARE(last, platform::Int16(qMax(count - 1, 0)));
    if (!expected.isEmpty()) {
        QCOMPARE(nav.FileNames, expected);
        return;
    }
    // The names read (at least one) are distinct files of the folder, ascending after the
    // entries left empty, and the listing still holds the rest.
    const int taken = qMax(count, 1);
    QStringList read = nav.FileNames;
    QCOMPARE(int(read.removeAll(QString())), size - taken);
    QCOMPARE(nav.FileNames.mid(size - taken), read);
    for (qsizetype i = 1; i < read.size(); ++i)
        QCOMPARE(referenceCompare(read.at(i - 1), read.at(i), false), -1);
    const QStringList all = read + drain();
    const QStringList onDisk = steps::entries(folder.path());
    QCOMPARE(all.size(), onDisk.size());
    QCOMPARE(asSet(all), asSet(onDisk));
}

// The listing ends with an empty name and fails when asked past that; at a root the folder
// already ends in a separator, and "/*.bmp" is joined on all the same.
void TestFrameList::dirContract()
{
    QTemporaryDir folder, empty;
    const QStringList names{u"b.bmp"_s, u"A.BMP"_s};
    QVERIFY(steps::writeFrames(folder.path(), names, 2, 2));
    const QString first = platform::Dir(folder.path() + u"/*.bmp"_s);
    const QString second = platform::Dir();
    QCOMPARE(asSet({first, second}), asSet(names));
    QCOMPARE(platform::Dir(), QString());
    QCOMPARE(errorNumber([] { platform::Dir(); }), err::InvalidProcedureCall);
    // Starting again begins a new listing.
    QVERIFY(!platform::Dir(folder.path() + u"/*.bmp"_s).isEmpty());
    QCOMPARE(platform::Dir(empty.path() + u"/*.bmp"_s), QString());
    QCOMPARE(errorNumber([] { platform::Dir(); }), err::InvalidProcedureCall);

    QCOMPARE(asSet(listAll(folder.path() + u"//*.bmp"_s)), asSet(names));
    QStringList rootBitmaps; // found without the program's listing
    for (const QFileInfo &info : QDir(u"/"_s).entryInfoList(QDir::Files | QDir::Hidden)) {
        if (!info.fileName().startsWith(u'.')
            && info.suffix().compare(u"bmp"_s, Qt::CaseInsensitive) == 0)
            rootBitmaps.append(info.fileName());
    }
    QStringList listed;
    QCOMPARE(errorNumber([&] { listed = listAll(u"//*.bmp"_s); }), 0);
    QCOMPARE(asSet(listed), asSet(rootBitmaps));
}

void TestFrameList::dirAndFileListAgreeOnMatches()
{
    TestApp app;
    QTemporaryDir empty, folder;
    steps::startIn(app, empty.path());
    const QStringList matching{u"WALK.BMP"_s, u"walk.bmp"_s, u"Frame.Bmp"_s, u"a.bmp"_s,
                               u"space name.bmp"_s};
    QVERIFY(steps::writeFrames(folder.path(), matching, 2, 2));
    QVERIFY(steps::writeFrames(folder.path(), {u".hidden.bmp"_s, u"notes.txt"_s, u"x.bmp.txt"_s,
                                               u"bmp"_s, u"a.bmpx"_s}, 2, 2));
    QVERIFY(QDir(folder.path()).mkdir(u"sub.bmp"_s));

    steps::openFolder(folder.path());
    frmDynamic &nav = steps::navigator();
    const QStringList shown = qobject_cast<QStringListModel *>(nav.File1->model())->stringList();
    const QStringList listed = listAll(folder.path() + u"/*.bmp"_s);

    QCOMPARE(asSet(shown), asSet(matching));
    QCOMPARE(asSet(listed), asSet(matching));
    QCOMPARE(listed.size(), matching.size());
    QCOMPARE(nav.lblNumOfFrames->text(), u"5"_s);
}

QTEST_MAIN(TestFrameList)
#include "tst_framelist.moc"
