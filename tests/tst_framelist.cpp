// The order of the frames on the sheet: how names sort in every locale, and how GetFiles reads
// them from a folder that changed since it was counted, through the folder enumeration.

#include "platform/direnumeration.h"
#include "support/frames.h"
#include "support/testapp.h"

#include <QLocale>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <clocale>
#include <string>

using namespace Qt::StringLiterals;
using namespace testframes;
namespace err = quorbel::err;

namespace {

QSet<QString> asSet(const QStringList &names)
{
    return {names.cbegin(), names.cend()};
}

} // namespace

class TestFrameList : public QObject
{
    Q_OBJECT

private slots:
    // Turkish folds I to a dotless i, Swedish and German collations weigh punctuation and case
    // their own way, and the C collation is by code; none of that may show.
    void sortsNames_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("names");
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<QString>("expected");
        const std::pair<const char *, std::array<const char16_t *, 2>> cases[] = {
            {"digits compare as characters", {u"frame1,frame2,frame10", u"frame1,frame10,frame2"}},
            {"case ignored", {u"Walk02,walk01,d,B,c", u"B,c,d,walk01,Walk02"}},
            {"dotted and dotless i", {u"Iz,ia,IB", u"ia,IB,Iz"}},
            {"empty name first", {u"b,,a", u",a,b"}},
            {"full stop, digits, letters",
             {u"f1a.b,F.b,f10.b,f1.b,fA.b", u"F.b,f1.b,f10.b,f1a.b,fA.b"}},
            // b and B compare equal; the exchange carries b past B.
            {"a case-only tie", {u"b,B,a", u"a,B,b"}}};
        for (const char *l : {"C", "de_DE", "tr_TR", "sv_SE"}) {
            for (const auto &[name, lists] : cases)
                QTest::addRow("%s: %s", l, name)
                    << QString::fromLatin1(l) << QString::fromUtf16(lists[0]) << true << false
                    << QString::fromUtf16(lists[1]);
            QTest::addRow("%s: descending is a new sort, not a reversal", l)
                << QString::fromLatin1(l) << u"b,Ia,c,a,A"_s << false << false << u"Ia,c,b,a,A"_s;
            QTest::addRow("%s: character codes", l)
                << QString::fromLatin1(l) << u"a,_,Z,b,B"_s << true << true << u"B,Z,_,a,b"_s;
        }
    }

    void sortsNames()
    {
        QFETCH(QString, locale);
        QFETCH(QString, names);
        QFETCH(bool, ascending);
        QFETCH(bool, caseSensitive);
        QFETCH(QString, expected);
        const QLocale previousLocale;
        const std::string previousC = std::setlocale(LC_ALL, nullptr);
        const auto restore = qScopeGuard([&] {
            QLocale::setDefault(previousLocale);
            std::setlocale(LC_ALL, previousC.c_str());
        });
        QLocale::setDefault(QLocale(locale));
        std::setlocale(LC_ALL,
                       (locale == u"C"_s ? locale : locale + u".UTF-8"_s).toUtf8().constData());
        QStringList list = names.split(u',');
        frmDynamic::SortArray(list, ascending, caseSensitive);
        QCOMPARE(list.join(u','), expected);
    }

    // A folder of walk frames, changed on disk after the Navigator counted them.
    void getFiles_data()
    {
        QTest::addColumn<int>("frames");
        QTest::addColumn<QStringList>("removed");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("error");
        QTest::addColumn<QStringList>("expected"); // empty where the names taken depend on the disk

        const QStringList walk = walkNames(8), none, more{u"walk09.bmp"_s, u"A00.bmp"_s};
        QTest::newRow("Numoffiles 0: the first name read") << 8 << none << none << 0 << 0 << none;
        QTest::newRow("Numoffiles 1: the first name read") << 8 << none << none << 1 << 0 << none;
        QTest::newRow("8 of 8, sorted") << 8 << none << none << 8 << 0 << walk;
        QTest::newRow("one file fewer: an empty name first")
            << 8 << QStringList{walk.at(4)} << none << 8 << 0
            << QStringList{QString()} + walk.mid(0, 4) + walk.mid(5);
        QTest::newRow("two files fewer: the listing asked past its end")
            << 8 << QStringList{walk.at(4), walk.at(0)} << none << 8 << err::InvalidProcedureCall
            << none;
        QTest::newRow("more files than counted: the count taken")
            << 8 << none << more << 8 << 0 << none;
        // One frame leaves the list unsized; a list sized for 3 cannot take 5 names either.
        QTest::newRow("unsized list") << 1 << none << none << 2 << err::SubscriptOutOfRange << none;
        QTest::newRow("more names than the list holds")
            << 3 << none << more << 5 << err::SubscriptOutOfRange << none;
    }

    void getFiles()
    {
        QFETCH(int, frames);
        QFETCH(QStringList, removed);
        QFETCH(QStringList, added);
        QFETCH(int, count);
        QFETCH(int, error);
        QFETCH(QStringList, expected);
        TestApp app;
        QTemporaryDir folder;
        QVERIFY(writeFrames(folder.path(), walkNames(frames), {}, true));
        frmDynamic &nav = app.startIn(folder.path());
        const int size = frames < 2 ? 0 : frames;
        for (const QString &name : std::as_const(removed))
            QVERIFY(QFile::remove(folder.filePath(name)));
        QVERIFY(writeFrames(folder.path(), added));

        quorbel::Int16 numoffiles = quorbel::Int16(count), last = -1;
        QCOMPARE(errorNumber([&] { last = nav.GetFiles(numoffiles); }), error);
        QCOMPARE(numoffiles, quorbel::Int16(count));
        QCOMPARE(nav.FileNames.size(), size);
        if (error != 0)
            return;
        QCOMPARE(last, quorbel::Int16(qMax(count - 1, 0)));
        if (!expected.isEmpty()) {
            QCOMPARE(nav.FileNames, expected);
            return;
        }
        // The names read (at least one) are distinct files of the folder, sorted, after the entries
        // left empty; the listing still holds the rest.
        const int taken = qMax(count, 1);
        QStringList read = nav.FileNames.mid(size - taken);
        QCOMPARE(nav.FileNames.count(QString()), size - taken);
        QVERIFY(std::is_sorted(read.cbegin(), read.cend(), [](const QString &a, const QString &b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        }));
        for (QString name = platform::Dir(); !name.isEmpty(); name = platform::Dir())
            read.append(name);
        QCOMPARE(read.size(), entries(folder.path()).size());
        QCOMPARE(asSet(read), asSet(entries(folder.path())));
    }

    // The listing ends with an empty name and fails when asked past that; a doubled separator, as
    // at a root, which already ends in one, is taken as one.
    void dirContract()
    {
        QTemporaryDir folder;
        QVERIFY(writeFrames(folder.path(), {u"b.bmp"_s, u"A.BMP"_s}));
        const QString first = platform::Dir(folder.path() + u"//*.bmp"_s);
        QCOMPARE(asSet({first, platform::Dir()}), asSet({u"b.bmp"_s, u"A.BMP"_s}));
        QCOMPARE(platform::Dir(), QString());
        QCOMPARE(errorNumber([] { platform::Dir(); }), err::InvalidProcedureCall);
    }
};

QTEST_MAIN(TestFrameList)
#include "tst_framelist.moc"
