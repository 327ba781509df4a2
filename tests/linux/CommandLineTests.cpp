// The command line: options are answered or refused, never passed on as URLs; the
// launcher hands over what the program would.
#include "platform/linux/process/CommandLine.h"
#include "platform/linux/process/LaunchArguments.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using tavlin::platform::CommandLine;

namespace {

CommandLine parse(QStringList arguments) {
    arguments.prepend(QStringLiteral("tavlin"));
    return CommandLine::parse(arguments);
}

} // namespace

TEST(CommandLine, UrlsPassInOrderAndDashWordsAfterTheMarker) {
    const CommandLine line = parse({QStringLiteral("tavlin://show"), QStringLiteral("tavlin://settings?x=-1"),
                                    QStringLiteral("--"), QStringLiteral("-not-an-option")});
    EXPECT_EQ(line.request(), CommandLine::Request::Run);
    EXPECT_FALSE(line.keySymbols());
    EXPECT_TRUE(parse({QStringLiteral("tavlin://show"), QStringLiteral("--key-symbols")}).keySymbols());
    EXPECT_EQ(line.urls(), (std::vector<std::string>{"tavlin://show", "tavlin://settings?x=-1", "-not-an-option"}));
}

TEST(CommandLine, UnknownOptionsAreUsageErrorsNotUrls) {
    for (const QString& option : {QStringLiteral("--frobnicate"), QStringLiteral("-x"), QStringLiteral("--url=tavlin://show"),
                                  QStringLiteral("--version=2")}) {
        SCOPED_TRACE(option.toStdString());
        const CommandLine line = parse({QStringLiteral("tavlin://show"), option});
        EXPECT_EQ(line.request(), CommandLine::Request::Error);
        EXPECT_EQ(line.exitStatus(), 2);
        EXPECT_TRUE(line.urls().empty());
        EXPECT_TRUE(line.text().contains(option.section(QLatin1Char('='), 0, 0).remove(QLatin1Char('-'))));
        EXPECT_TRUE(line.text().contains(QStringLiteral("Usage:")));
    }
}

TEST(CommandLine, HelpAndVersionWinOverUrlsAndEndSuccessfully) {
    QCoreApplication::setApplicationVersion(QStringLiteral("9.8.7"));
    const CommandLine help = parse({QStringLiteral("tavlin://show"), QStringLiteral("-h")});
    EXPECT_EQ(help.request(), CommandLine::Request::Help);
    EXPECT_TRUE(help.urls().empty());

    const CommandLine version = parse({QStringLiteral("--version"), QStringLiteral("tavlin://show")});
    EXPECT_EQ(version.request(), CommandLine::Request::Version);
    EXPECT_EQ(version.exitStatus(), 0);
    EXPECT_TRUE(version.urls().empty());
    EXPECT_TRUE(version.text().contains(QStringLiteral("9.8.7")));
}

// What a start hands the running Tavlin reads back, through the same parser, as the
// same request: a dash-led URL stays a URL, and a lone --toggle stays a toggle.
TEST(CommandLine, WhatIsHandedOverReadsBackAsTheSameRequest) {
    const QList<QStringList> lines{
        {QStringLiteral("--toggle")},
        {QStringLiteral("tavlin://show"), QStringLiteral("--toggle")},
        {QStringLiteral("--"), QStringLiteral("-dash-led"), QStringLiteral("tavlin://show")},
        {QStringLiteral("--key-symbols")},
    };
    for (const QStringList& line : lines) {
        SCOPED_TRACE(line.join(QLatin1Char(' ')).toStdString());
        const CommandLine given = parse(line);
        QStringList handedOver;
        for (const std::string& argument : given.forwardedArguments()) handedOver << QString::fromStdString(argument);
        const CommandLine received = parse(handedOver);
        EXPECT_EQ(received.request(), CommandLine::Request::Run);
        EXPECT_EQ(received.toggle(), given.toggle());
        EXPECT_EQ(received.urls(), given.urls());
    }
    EXPECT_TRUE(parse({QStringLiteral("--toggle")}).toggle());
    EXPECT_FALSE(parse({QStringLiteral("tavlin://show")}).toggle());
    EXPECT_TRUE(parse({QStringLiteral("--key-symbols")}).forwardedArguments().empty()); // nothing to hand over
}

// The launcher hands a command line over itself only where the Qt program would hand over
// exactly the same strings; everything else (options, nothing to hand over, dash-led
// words) reaches the Qt program untouched.
TEST(LaunchArguments, HandsOverOnlyWhatTheProgramWouldAndTheSameStrings) {
    using tavlin::platform::LaunchArguments;
    const std::vector<std::vector<const char*>> forwardable{
        {"--toggle"},
        {"tavlin://show"},
        {"tavlin://show", "--toggle", "tavlin://show?bundle=a b"},
        {"--toggle", "--toggle"},
        {"--", "tavlin://show", ""},
        {"tavlin://show", "--", "http://x"},
    };
    for (const auto& line : forwardable) {
        QStringList words;
        for (const char* word : line) words << QString::fromUtf8(word);
        SCOPED_TRACE(words.join(QLatin1Char(' ')).toStdString());
        const auto launch = LaunchArguments::read(int(line.size()), line.data());
        ASSERT_TRUE(launch.forwardable());
        std::vector<std::string> handed;
        for (std::size_t i = 0; i < launch.count(); ++i) handed.emplace_back(launch.at(i));
        const CommandLine program = parse(words);
        EXPECT_EQ(program.request(), CommandLine::Request::Run);
        EXPECT_EQ(handed, program.forwardedArguments());
    }
    const std::vector<std::vector<const char*>> theProgramsToAnswer{
        {},
        {"--"},
        {"--help"},
        {"tavlin://show", "-h"},
        {"--version", "--toggle"},
        {"--bind-hot-key"},
        {"--key-symbols", "--toggle"},
        {"--toggle", "--frobnicate"},
        {"-platform", "xcb", "tavlin://show"},
        {"tavlin://show", "-"},
        {"--", "-dash-led"},
        {"--", "--toggle"},
        {"--toggle=yes"},
    };
    for (const auto& line : theProgramsToAnswer) {
        std::string words;
        for (const char* word : line) words += std::string(word) + " ";
        SCOPED_TRACE(words);
        const auto launch = LaunchArguments::read(int(line.size()), line.data());
        EXPECT_FALSE(launch.forwardable());
        EXPECT_EQ(launch.count(), 0u);
    }
}
