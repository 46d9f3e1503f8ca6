// The floor under zemra-fleet's start-up: a plain Qt main window with the parts its first paint
// has (a menu bar, a tool bar of four actions, a filter field with a clear button, an empty table
// of as many columns as the fleet's, a status bar) at the same size, as Qt makes them, with none
// of our code.
#include "Probe.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

int main(int argc, char **argv)
{
    StartProbeClock();
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Plain main window"));
    QMenu *file = window.menuBar()->addMenu(QStringLiteral("&File"));
    QToolBar *tools = window.addToolBar(QStringLiteral("Actions"));
    for (const char *text : {"&Open…", "&Add…", "Re&port…", "&Export…"})
        tools->addAction(file->addAction(QString::fromUtf8(text)));
    file->addAction(QStringLiteral("&Quit"));
    auto *centre = new QWidget(&window);
    auto *layout = new QVBoxLayout(centre);
    auto *filter = new QLineEdit(centre);
    filter->setClearButtonEnabled(true);
    filter->setPlaceholderText(QStringLiteral("Filter"));
    layout->addWidget(filter);
    auto *table = new QTableView(centre);
    auto *model = new QStandardItemModel(0, 17, table);
    for (int column = 0; column < model->columnCount(); ++column)
        model->setHeaderData(column, Qt::Horizontal, QStringLiteral("Column %1").arg(column + 1));
    table->setModel(model);
    layout->addWidget(table);
    window.setCentralWidget(centre);
    window.statusBar()->addWidget(new QLabel(QStringLiteral("Ready"), &window));
    window.resize(QSize(960, 540).boundedTo(window.screen()->availableGeometry().size() * 9 / 10));
    EndAfterFirstPaint(table->viewport(), argc, argv);
    window.show();
    return application.exec();
}
