// The view tests run in Qt's offscreen platform: no display needed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QString>

namespace {
// The offscreen platform says so for every window operation it does not have.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) return;
    qt_message_output(type, context, message);
}
} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests (CTest's discovery at build time) needs no Qt at all.
    if (testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietHandler);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
