// The reference for the start-up benchmark (bench/startup.sh): the least a Qt main window of
// Quillet's kind needs, a menu bar with a few menus, a scroll area and a status bar, shown at the
// size Quillet opens with.
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QStatusBar>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Minimal window"));
    window.resize(1152, 786);
    QMenu *file = window.menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("Open..."));
    file->addSeparator();
    file->addAction(QStringLiteral("E&xit"), &app, &QApplication::quit);
    window.menuBar()->addMenu(QStringLiteral("&Edit"))->addAction(QStringLiteral("Undo"));
    window.menuBar()->addMenu(QStringLiteral("&Options"))->addAction(QStringLiteral("Mode"));
    window.menuBar()->addMenu(QStringLiteral("&Help"))->addAction(QStringLiteral("&About"));
    window.setCentralWidget(new QScrollArea(&window));
    window.statusBar()->showMessage(QStringLiteral("Ready"));
    window.show();
    return app.exec();
}
