// GLib's messages in Tavlin's domains arrive in Qt's logging, as the GLib-based adapters
// (the AT-SPI reader on its worker thread among them) send them.
#define G_LOG_DOMAIN "tavlin-atspi"
#include <glib.h>

#include "platform/linux/common/GLibLogForwarding.h"

#include <QLoggingCategory>
#include <QString>
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

using tavlin::platform::GLibLogForwarding;

namespace {

struct Logged {
    std::string category;
    QtMsgType type;
    QString text;
    bool operator==(const Logged&) const = default;
};

std::mutex loggedMutex;
std::vector<Logged> logged;

void keep(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    std::lock_guard lock(loggedMutex);
    logged.push_back({context.category ? context.category : "", type, text});
}

// Qt's messages go into `logged` while the test runs, under the given rules.
class GLibLogForwardingTest : public ::testing::Test {
protected:
    void catchQtMessages(const char* rules) {
        GLibLogForwarding::install();
        QLoggingCategory::setFilterRules(QString::fromLatin1(rules));
        logged.clear();
        previous_ = qInstallMessageHandler(keep);
    }
    void TearDown() override {
        qInstallMessageHandler(previous_);
        QLoggingCategory::setFilterRules(QString());
    }
    std::vector<Logged> caught() {
        std::lock_guard lock(loggedMutex);
        return logged;
    }

private:
    QtMessageHandler previous_ = nullptr;
};

} // namespace

TEST_F(GLibLogForwardingTest, TavlinDomainsReachTheirCategoriesAtTheirLevelsFromAnyThread) {
    catchQtMessages("tavlin.*.debug=true");
    GLibLogForwarding::install(); // a second time is harmless
    g_debug("read %d rows", 3);
    g_log("tavlin-shortcuts", G_LOG_LEVEL_MESSAGE, "a message");
    g_log("tavlin-tables", G_LOG_LEVEL_WARNING, "the shortcut table %s is skipped", "x.shortcuts");
    g_log("tavlin.wayland", G_LOG_LEVEL_INFO, "information");
    // A critical is no reason to stop.
    g_critical("an odd tree");
    std::thread worker([] { g_warning("from the reader's thread"); });
    worker.join();
    // GLib's own domains and other libraries' stay with GLib.
    g_log("GLib-GIO", G_LOG_LEVEL_DEBUG, "not ours");
    g_log("tavlinish", G_LOG_LEVEL_DEBUG, "not ours either");

    EXPECT_EQ(caught(), (std::vector<Logged>{
                            {"tavlin.atspi", QtDebugMsg, "read 3 rows"},
                            {"tavlin.shortcuts", QtInfoMsg, "a message"},
                            {"tavlin.tables", QtWarningMsg, "the shortcut table x.shortcuts is skipped"},
                            {"tavlin.wayland", QtInfoMsg, "information"},
                            {"tavlin.atspi", QtCriticalMsg, "an odd tree"},
                            {"tavlin.atspi", QtWarningMsg, "from the reader's thread"},
                        }));
}

TEST_F(GLibLogForwardingTest, DebugMessagesShowOnlyWhenAskedFor) {
    catchQtMessages("");
    g_debug("details");
    g_warning("a warning");
    EXPECT_EQ(caught(), (std::vector<Logged>{{"tavlin.atspi", QtWarningMsg, "a warning"}}));
}
