// A small Qt 6 window whose menus hold the cases the end-to-end check reads: mnemonics
// without a shortcut, a disabled and a hidden item, a submenu and a sub-submenu, and
// shortcuts written with "+", "," and as a chord, and with Alt. With "--generated MENUS
// ITEMS EVERY", a big menu bar instead: MENUS menus "Menu 1".. of ITEMS items "Item m.i"
// each, every EVERY-th item with a shortcut (Ctrl+Shift+a letter).
#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

#include <algorithm>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tavlin Qt6 Menus");
    QMainWindow window;
    if (argc == 5 && std::strcmp(argv[1], "--generated") == 0) {
        const int menus = std::atoi(argv[2]), items = std::atoi(argv[3]), every = std::max(1, std::atoi(argv[4]));
        for (int m = 1; m <= menus; ++m) {
            QMenu* menu = window.menuBar()->addMenu(QString("Menu %1").arg(m));
            for (int i = 1; i <= items; ++i) {
                QAction* item = menu->addAction(QString("Item %1.%2").arg(m).arg(i));
                if (i % every == 0) item->setShortcut(QKeySequence(QString("Ctrl+Shift+%1").arg(QChar('A' + i % 26))));
            }
        }
        window.show();
        return QApplication::exec();
    }
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
