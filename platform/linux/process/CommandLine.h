#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace tavlin::platform {

// What the command line asks of this start of Tavlin, read with QCommandLineParser from
// the arguments Qt has left (QApplication takes its own options first):
//
//   tavlin [--help] [--version] [--key-symbols] [--toggle] [URL...]
//   tavlin --bind-hot-key
//
// Options never reach the URL list: an unknown one is a usage error. Words after "--"
// are URLs even when they start with a dash. The running Tavlin reads what a later start
// hands it (forwardedArguments()) with the same parser.
class CommandLine {
public:
    enum class Request {
        Run,     // become the instance, or hand the URLs to the running one
        Help,    // print the usage and end
        Version, // print the version and end
        Error,   // print the error and the usage, end with a usage error
        BindHotKey, // bind Alt+Space to `tavlin --toggle` in the desktop's settings, then end
    };

    // Exit status of a start that ends on a usage error.
    static constexpr int usageErrorStatus = 2;

    // `arguments` starts with the program's name, as QCoreApplication::arguments().
    static CommandLine parse(const QStringList& arguments);

    Request request() const { return request_; }
    // The URLs for the delegate, in order; empty unless the request is Run.
    const std::vector<std::string>& urls() const { return urls_; }
    // Keys written in symbols ("⇧⌘Z") instead of the desktop's words ("Ctrl+Shift+Z").
    bool keySymbols() const { return keySymbols_; }
    // Does what a press of the hot key does: desktops that give no application a global
    // hot key run `tavlin --toggle` from a key binding of their own.
    bool toggle() const { return toggle_; }
    // What a start hands the running Tavlin: --toggle when given, then the URLs.
    std::vector<std::string> forwardedArguments() const;
    // What to print: the usage, the version line, or the error and the usage.
    const QString& text() const { return text_; }
    // The process's exit status when the request is not Run.
    int exitStatus() const { return request_ == Request::Error ? usageErrorStatus : 0; }

private:
    Request request_ = Request::Run;
    std::vector<std::string> urls_;
    bool keySymbols_ = false;
    bool toggle_ = false;
    QString text_;
};

} // namespace tavlin::platform
