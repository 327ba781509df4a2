#include "platform/linux/process/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace tavlin::platform {

CommandLine CommandLine::parse(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Shows the keyboard shortcuts of the application in front when Alt+Space is pressed.\n"
        "Started again with URLs, it hands them to the running Tavlin."));
    // Not addHelpOption(): its --help-all promises Qt's options, which QApplication has
    // already taken out of the arguments.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays this help."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption keySymbols(QStringLiteral("key-symbols"),
                                        QStringLiteral("Writes keys in symbols (⇧⌘Z) instead of words (Ctrl+Shift+Z)."));
    parser.addOption(keySymbols);
    const QCommandLineOption bindHotKey(QStringLiteral("bind-hot-key"),
                                        QStringLiteral("Binds Alt+Space to \"tavlin --toggle\" in the desktop's own settings."));
    parser.addOption(bindHotKey);
    const QCommandLineOption toggle(QStringLiteral("toggle"),
                                    QStringLiteral("Shows or hides the overlay, as Alt+Space does (for a desktop's own "
                                                   "key binding), starting Tavlin when it isn't running."));
    parser.addOption(toggle);
    parser.addPositionalArgument(QStringLiteral("URL"),
                                 QStringLiteral("A request for Tavlin, e.g. tavlin://show"),
                                 QStringLiteral("[URL...]"));

    CommandLine result;
    if (!parser.parse(arguments)) {
        result.request_ = Request::Error;
        result.text_ = QCoreApplication::applicationName().toLower() + QStringLiteral(": ") +
                       parser.errorText() + QStringLiteral("\n\n") + parser.helpText();
        return result;
    }
    if (parser.isSet(help)) {
        result.request_ = Request::Help;
        result.text_ = parser.helpText();
        return result;
    }
    if (parser.isSet(version)) {
        result.request_ = Request::Version;
        result.text_ = QCoreApplication::applicationName() + QLatin1Char(' ') +
                       QCoreApplication::applicationVersion() + QLatin1Char('\n');
        return result;
    }
    if (parser.isSet(bindHotKey)) {
        result.request_ = Request::BindHotKey;
        return result;
    }
    result.keySymbols_ = parser.isSet(keySymbols);
    result.toggle_ = parser.isSet(toggle);
    for (const QString& url : parser.positionalArguments()) result.urls_.push_back(url.toStdString());
    return result;
}

std::vector<std::string> CommandLine::forwardedArguments() const {
    std::vector<std::string> arguments;
    if (toggle_) arguments.emplace_back("--toggle");
    if (urls_.empty()) return arguments;
    arguments.emplace_back("--"); // a URL is never read as an option
    arguments.insert(arguments.end(), urls_.begin(), urls_.end());
    return arguments;
}

} // namespace tavlin::platform
