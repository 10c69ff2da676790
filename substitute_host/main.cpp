// substitute-host: stands in for EchoLink on the D-Bus session bus, so that Parlox can be run
// and tested without a radio. Driven line by line through standard input; reports on standard
// output.

#include <fcntl.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QTextStream>

#include "DemoConference.h"
#include "Flood.h"
#include "HostCommand.h"
#include "line_escaping/LineEscaping.h"
#include "LineReader.h"
#include "Misbehaviour.h"
#include "SubstituteHost.h"

using namespace std::chrono_literals;

namespace {

constexpr int kExitNameTaken = 2;

const char kDescription[]
    = "Stands in for EchoLink on the D-Bus session bus: owns org.parlox.Host and offers\n"
      "/EventObject, /SetupConfig and /SysopConfig.\n"
      "\n"
      "Standard input, one command a line:\n"
      "  chat TEXT   raise ChatTextReceived(TEXT)\n"
      "  closing     raise Closing\n"
      "  flood       with --flood: start raising the numbered texts\n"
      "  busy MS     answer nothing for MS milliseconds, then answer what came meanwhile,\n"
      "              as EchoLink does behind a dialog\n"
      "  hang        answer nothing and raise nothing ever again, as a hung host would;\n"
      "              only a signal ends the program then\n"
      "  crash       end at once without Closing, as a crash (or kill -9) would\n"
      "  quit        end the program\n"
      "In TEXT, \\r, \\n, \\t and \\\\ stand for CR, LF, tab and a backslash.\n"
      "The end of standard input ends nothing.\n"
      "\n"
      "Standard output: \"ready\" once the name is owned, then \"posted: TEXT\" for every line a\n"
      "client posts, escaped the same way, and \"flooded\" once a flood has raised its last text.\n"
      "\"busy\" and \"hung\" once the host has stopped answering.\n"
      "\n"
      "Exit status 2 when another program owns org.parlox.Host already.";

void PrintLine(const QString &line)
{
    QTextStream out(stdout);
    out << line << Qt::endl;
}

void WarnLine(const QString &line)
{
    QTextStream err(stderr);
    err << "substitute-host: " << line << Qt::endl;
}

[[noreturn]] void Hang()
{
    PrintLine(QStringLiteral("hung"));
    HangForGood();
}

void Obey(const HostCommand &command, const QString &line, SubstituteHost &host)
{
    switch (command.kind) {
        case HostCommand::Kind::Chat:
            host.RaiseChat(command.text);
            break;
        case HostCommand::Kind::Closing:
            host.RaiseClosing();
            break;
        case HostCommand::Kind::Busy:
            PrintLine(QStringLiteral("busy"));
            StayBusy(command.period);
            break;
        case HostCommand::Kind::Hang:
            Hang();
        case HostCommand::Kind::Crash:
            Crash();
            break;
        case HostCommand::Kind::Quit:
            QCoreApplication::quit();
            break;
        case HostCommand::Kind::Blank:
            break;
        case HostCommand::Kind::Unknown:
            WarnLine(QStringLiteral("unknown command: %1").arg(line));
            break;
    }
}

// Started with standard input closed, the program would hand descriptor 0 to whatever it opens
// next (the event loop's wake-up descriptor or the bus socket) and then read commands from it.
void KeepStandardInputTaken()
{
    if (::fcntl(STDIN_FILENO, F_GETFD) == -1)
        ::open("/dev/null", O_RDONLY);
}

} // namespace

int main(int argc, char *argv[])
{
    KeepStandardInputTaken();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("substitute-host"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.addHelpOption();
    const QCommandLineOption callOption(QStringLiteral("call"),
                                        QStringLiteral("The station call sign that ReadStationCall answers."),
                                        QStringLiteral("CALLSIGN"), QStringLiteral("N0CALL-L"));
    const QCommandLineOption demoOption(
        QStringLiteral("demo"),
        QStringLiteral("Play a made-up conference: stations chat every few seconds and answer what is posted."));
    const QCommandLineOption failPostOption(QStringLiteral("fail-post"),
                                            QStringLiteral("Refuse every posted line with an error."));
    const QCommandLineOption noSysopOption(QStringLiteral("no-sysop"),
                                           QStringLiteral("Offer no /SysopConfig object, so that its creation fails."));
    const QCommandLineOption floodOption(
        QStringLiteral("flood"),
        QStringLiteral("With RATE: on the command \"flood\", raise N chat texts, RATE a second. Text number "
                       "SEQ (from 1) reads \"XX9FLD>SEQ SENT\", SENT being its send time in milliseconds "
                       "since the epoch."),
        QStringLiteral("N"));
    const QCommandLineOption hangInOption(
        QStringLiteral("hang-in"),
        QStringLiteral("Hang (as the command \"hang\" does) in the first call of METHOD, PostChatLine or "
                       "ReadStationCall, after taking it and before answering it."),
        QStringLiteral("METHOD"));
    parser.addOptions({callOption, demoOption, failPostOption, noSysopOption, floodOption, hangInOption});
    parser.addPositionalArgument(QStringLiteral("RATE"), QStringLiteral("With --flood: texts a second."),
                                 QStringLiteral("[RATE]"));
    parser.process(app);

    const QString hangIn = parser.value(hangInOption);
    if (parser.isSet(hangInOption) && hangIn != u"PostChatLine" && hangIn != u"ReadStationCall") {
        WarnLine(QStringLiteral("--hang-in takes PostChatLine or ReadStationCall"));
        return 1;
    }

    std::optional<FloodPlan> floodPlan;
    if (parser.isSet(floodOption)) {
        floodPlan = ParseFloodPlan(parser.value(floodOption), parser.positionalArguments().value(0));
        if (!floodPlan) {
            WarnLine(QStringLiteral("--flood takes two whole numbers above zero: N RATE"));
            return 1;
        }
    }

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        WarnLine(QStringLiteral("no session bus: %1").arg(bus.lastError().message()));
        return 1;
    }

    SubstituteHost host(parser.value(callOption), parser.isSet(failPostOption), !parser.isSet(noSysopOption));
    switch (host.OfferOn(bus)) {
        case SubstituteHost::Offer::Made:
            break;
        case SubstituteHost::Offer::NameTaken:
            WarnLine(QStringLiteral("org.parlox.Host is owned by another program already."));
            return kExitNameTaken;
        case SubstituteHost::Offer::Refused:
            WarnLine(QStringLiteral("the session bus refused the host: %1").arg(bus.lastError().message()));
            return 1;
    }

    QObject::connect(&host, &SubstituteHost::LinePosted, [](const QString &line) {
        PrintLine(QStringLiteral("posted: ") + QString::fromStdU16String(EscapeLine(line.toStdU16String())));
    });
    QObject::connect(&host, &SubstituteHost::Answering, [&hangIn](const QString &method) {
        if (method == hangIn)
            Hang();
    });

    std::optional<Flood> flood;
    if (floodPlan) {
        flood.emplace(*floodPlan);
        QObject::connect(&*flood, &Flood::ChatSpoken, &host, &SubstituteHost::RaiseChat);
        QObject::connect(&*flood, &Flood::Finished, [] { PrintLine(QStringLiteral("flooded")); });
    }

    LineReader input(STDIN_FILENO);
    QObject::connect(&input, &LineReader::LineRead, [&](const QString &line) {
        if (flood && line.trimmed() == QLatin1String("flood")) {
            flood->Start();
            return;
        }
        Obey(ParseHostCommand(line), line, host);
    });

    DemoConference demo(4s, 1500ms);
    if (parser.isSet(demoOption)) {
        QObject::connect(&demo, &DemoConference::ChatSpoken, &host, &SubstituteHost::RaiseChat);
        QObject::connect(&host, &SubstituteHost::LinePosted, &demo, &DemoConference::AnswerPosted);
        demo.Start();
    }

    PrintLine(QStringLiteral("ready"));
    return app.exec();
}
