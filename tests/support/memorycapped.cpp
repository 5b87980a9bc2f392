// A helper of tst_memory: runs the real Navigator in a process of its own whose memory is capped,
// so that a failing allocation is a real one. Usage: memorycapped HEADROOM_MIB FOLDER ROWS.
// Once started, it allows itself HEADROOM_MIB of address space more than it uses, opens FOLDER,
// picks ROWS, presses Draw, then prints every message shown, one a line, and "Save enabled" or
// "Save disabled".

#include "support/testapp.h"

#include <QApplication>
#include <QFile>

#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Under AddressSanitizer, which reserves terabytes of address space for itself, an address-space
// limit cannot work; the parent caps each allocation through ASAN_OPTIONS instead.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool AddressSpaceLimitWorks = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool AddressSpaceLimitWorks = false;
#else
constexpr bool AddressSpaceLimitWorks = true;
#endif
#else
constexpr bool AddressSpaceLimitWorks = true;
#endif

// The address space in use now: the first field of /proc/self/statm, in pages.
long long addressSpaceInUse()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    return statm.readAll().split(' ').value(0).toLongLong() * sysconf(_SC_PAGESIZE);
}

bool capAddressSpace(long long headroomBytes)
{
    if (!AddressSpaceLimitWorks)
        return true;
    const long long inUse = addressSpaceInUse();
    const rlimit cap { rlim_t(inUse + headroomBytes), rlim_t(inUse + headroomBytes) };
    return inUse > 0 && setrlimit(RLIMIT_AS, &cap) == 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: memorycapped HEADROOM_MIB FOLDER ROWS\n");
        return 2;
    }
    TestApp app;
    app.start();
    if (!capAddressSpace(QByteArray(argv[1]).toLongLong() << 20)) {
        std::fprintf(stderr, "memorycapped: the address space cannot be capped\n");
        return 3;
    }
    steps::navigator().Dir1->setPath(QString::fromLocal8Bit(argv[2]));
    steps::draw(app, QString::fromLocal8Bit(argv[3]));
    for (const QString &message : std::as_const(app.messages))
        std::printf("%s\n", qPrintable(message));
    std::printf("Save %s\n", steps::navigator().cmdSave->isEnabled() ? "enabled" : "disabled");
    return 0;
}
