// What the user reads when an error meets no trap: one message with the error's description
// immediately followed by its number, whatever kind of failure it was, and the program goes on.

#include "platform/eventguard.h"
#include "platform/messagebox.h"
#include "platform/runtimeerror.h"

#include <QTest>

#include <new>
#include <stdexcept>

class tst_EventGuard : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void untrappedErrorsBecomeOneMessage_data();
    void untrappedErrorsBecomeOneMessage();
    void restRunsAfterAFailureThenTheFailureIsRaised();

private:
    QStringList m_messages;
};

void tst_EventGuard::init()
{
    m_messages.clear();
    platform::setMessageBoxHandler([this](const QString &text) { m_messages.append(text); });
}

void tst_EventGuard::cleanup()
{
    platform::setMessageBoxHandler({});
}

void tst_EventGuard::untrappedErrorsBecomeOneMessage_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");

    QTest::newRow("numbered error") << 0 << QStringLiteral("Path not found76");
    QTest::newRow("allocation failure") << 1 << QStringLiteral("Out of memory7");
    QTest::newRow("unforeseen exception") << 2 << QStringLiteral("Internal error51");
    QTest::newRow("no error") << 3 << QString();
}

void tst_EventGuard::untrappedErrorsBecomeOneMessage()
{
    QFETCH(int, kind);
    QFETCH(QString, message);

    bool finished = false;
    platform::runEvent([&] {
        switch (kind) {
        case 0: platform::raise(platform::err::PathNotFound);
        case 1: throw std::bad_alloc();
        case 2: throw std::runtime_error("unforeseen");
        }
        finished = true;
    });

    QCOMPARE(m_messages, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(finished, message.isEmpty());
}

void tst_EventGuard::restRunsAfterAFailureThenTheFailureIsRaised()
{
    QStringList steps;
    platform::runEvent([&] {
        platform::runAllThenRaise(
            [&] {
                steps.append(QStringLiteral("first"));
                platform::raise(platform::err::Overflow);
            },
            [&] { steps.append(QStringLiteral("rest")); });
        steps.append(QStringLiteral("after"));
    });

    QCOMPARE(steps, (QStringList{QStringLiteral("first"), QStringLiteral("rest")}));
    QCOMPARE(m_messages, QStringList{QStringLiteral("Overflow6")});
}

QTEST_MAIN(tst_EventGuard)
#include "tst_eventguard.moc"
