#include "app/commandline.h"

#include <QCommandLineParser>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

const QCommandLineOption Help(QStringList{u"h"_s, u"help"_s}, u"help"_s);
const QCommandLineOption Version(u"version"_s, u"version"_s);

constexpr int Done = 0;
constexpr int Mistaken = 2;

QString helpText()
{
    return uR"help(Usage: quorbel [FOLDER]

Opens Quorbel, which composes a folder of equally sized .bmp frames into one sprite sheet: walk
the Navigator to the folder, pick the rows, press Draw and Save.

  FOLDER      the folder the Navigator opens at, for this run; a file opens the folder that
              holds it, so a frame opens its animation. Without FOLDER, or when it does not
              exist (a message says so), the Navigator opens at the folder it showed when
              Quorbel was last closed. A name that begins with - goes after --, as in
              quorbel -- -walk
  -h, --help  this text.
  --version   the version.

quorbel-sheet makes the same sheet without a window, for build scripts.
)help"_s;
}

} // namespace

CommandLine readCommandLine(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({Help, Version});
    if (!parser.parse(arguments)) {
        err << "quorbel: " << parser.errorText() << "\nTry quorbel --help\n";
        return {{}, Mistaken};
    }
    if (parser.isSet(Help)) {
        out << helpText();
        return {{}, Done};
    }
    if (parser.isSet(Version)) {
        out << "quorbel " QUORBEL_VERSION "\n";
        return {{}, Done};
    }
    return {parser.positionalArguments().value(0), std::nullopt};
}
