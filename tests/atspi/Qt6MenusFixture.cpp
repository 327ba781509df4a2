// A small Qt 6 window whose menus hold the cases the end-to-end check reads: mnemonics
// without a shortcut, a disabled and a hidden item, a submenu and a sub-submenu, and
// shortcuts written with "+", "," and as a chord, and with Alt.
#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tavlin Qt6 Menus");
    QMainWindow window;
    QMenu* file = window.menuBar()->addMenu("&File");
    file->addAction("&New", QKeySequence("Ctrl+N"));
    file->addAction("Save &As...");
    file->addAction("Disabled", QKeySequence("Ctrl+D"))->setEnabled(false);
    file->addAction("Hidden", QKeySequence("Ctrl+H"))->setVisible(false);
    QMenu* recent = file->addMenu("&Recent");
    recent->addAction("Clear", QKeySequence("Ctrl+Shift+Del"));
    recent->addMenu("Deeper")->addAction("Too deep", QKeySequence("Ctrl+T"));
    file->addSeparator();
    file->addAction("Zoom &In", QKeySequence("Ctrl++"));
    file->addAction("Comment", QKeySequence("Ctrl+K, Ctrl+C"));
    file->addAction("Preferences", QKeySequence("Ctrl+,"));
    file->addAction("Quit", QKeySequence("Alt+F4"));
    // Mnemonics on a digit and on a capital letter outside ASCII, and an Alt+letter
    // shortcut (which Qt sends instead of the item's mnemonic).
    QMenu* go = window.menuBar()->addMenu("&Go");
    go->addAction("&1 Recent");
    go->addAction("&Übersicht");
    go->addAction("&Library", QKeySequence("Alt+J"));
    window.menuBar()->addMenu("&Help")->addAction("Contents", QKeySequence("F1"));
    window.show();
    return QApplication::exec();
}
