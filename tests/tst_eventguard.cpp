// What the user reads when an error meets no trap: one message with the error's description
// immediately followed by its number, whatever kind of failure it was, and the program goes on.

#include "platform/eventguard.h"
#include "platform/runtimeerror.h"
#include "support/testapp.h"

#include <QTest>

#include <new>
#include <stdexcept>

using namespace Qt::StringLiterals;

class tst_EventGuard : public QObject
{
    Q_OBJECT

private slots:
    void untrappedErrorsBecomeOneMessage_data();
    void untrappedErrorsBecomeOneMessage();
};

void tst_EventGuard::untrappedErrorsBecomeOneMessage_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("messages"); // joined by '|'
    QTest::addColumn<QString>("steps");    // what ran of the handler
    QTest::newRow("numbered error") << 0 << u"Path not found76"_s << QString();
    QTest::newRow("allocation failure") << 1 << u"Out of memory7"_s << QString();
    QTest::newRow("unforeseen exception") << 2 << u"Internal error51"_s << QString();
    QTest::newRow("no error") << 3 << QString() << u"after"_s;
    // runAllThenRaise runs the rest after a failure, then raises the failure.
    QTest::newRow("error raised after the rest has run") << 4 << u"Overflow6"_s << u"first rest"_s;
}

void tst_EventGuard::untrappedErrorsBecomeOneMessage()
{
    QFETCH(int, kind);
    QFETCH(QString, messages);
    QFETCH(QString, steps);
    TestApp app; // records the message boxes

    QStringList ran;
    platform::runEvent([&] {
        switch (kind) {
        case 0: platform::raise(platform::err::PathNotFound);
        case 1: throw std::bad_alloc();
        case 2: throw std::runtime_error("unforeseen");
        case 4:
            platform::runAllThenRaise(
                [&] {
                    ran.append(u"first"_s);
                    platform::raise(platform::err::Overflow);
                },
                [&] { ran.append(u"rest"_s); });
        }
        ran.append(u"after"_s);
    });

    QCOMPARE(app.messages.join(u'|'), messages);
    QCOMPARE(ran.join(u' '), steps);
}

QTEST_MAIN(tst_EventGuard)
#include "tst_eventguard.moc"
