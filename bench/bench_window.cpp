// Opening a log in the real main window, offscreen: from the "Abrir" button of the "Abrir"
// window to the table's first paint with the new rows, as a user waits for it. Compared with
// BM_LeerLibro, which reads the same file into a table and does nothing else.
#include "LogGenerator.h"

#include "app/Kavento.h"
#include "common/GridModel.h"
#include "history/ContactLog.h"
#include "logbook/LogbookCommands.h"
#include "ui/FormWindow.h"
#include "ui/MainFrame.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Seams : MessageSeam, ClockSeam, BrowserSeam, FolderSeam
{
    Answer ask(const QString &, const QString &, Buttons, Icon) override { return Answer::Ok; }
    int choose(const QString &, const QString &, const QStringList &, int defaultButton, int, Icon) override
    {
        return defaultButton;
    }
    QDateTime now() const override { return QDateTime(QDate(2024, 3, 5), QTime(14, 22, 33)); }
    void open(const QString &) override {}
    QString chooseFolder(const QString &, const QString &) override { return {}; }
    QString chooseFile(const QString &, const QString &, const QString &) override { return {}; }
    QString chooseSaveFile(const QString &, const QString &, const QString &) override { return {}; }
};

QApplication &application()
{
    static int argc = 1;
    static char name[] = "orvanel-bench";
    static char *argv[] = {name, nullptr};
    static QApplication *app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

// Counts the paints of a widget.
class Paints : public QObject
{
public:
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

void BM_OpenInWindow(benchmark::State &state)
{
    const int64_t contacts = state.range(0);
    const QString path = benchlog::filePath(contacts);
    if (path.isEmpty())
        return state.SkipWithError("cannot write the log file");
    application();
    // A folder of its own: no recovery journal or settings other benchmarks left behind.
    QTemporaryDir work;
    const QString name = QFileInfo(path).fileName();
    if (!work.isValid() || !QFile::link(path, work.filePath(name)))
        return state.SkipWithError("cannot make the program's folder");
    Seams seams;
    QSettings settings(work.filePath(QStringLiteral("orvanel.ini")), QSettings::IniFormat);
    const Platform platform{&seams, &seams, &seams, &seams, &settings, nullptr};
    Kavento program(platform, work.path());
    program.Form_Load();
    program.show();
    QCoreApplication::processEvents();
    program.frame().action(QStringLiteral("nAbrir"))->trigger();
    FormWindow *abre = program.logbook().abreWindow();
    auto *table = program.frame().findChild<QAbstractItemView *>();
    if (!abre || !table)
        return state.SkipWithError("the window has no table or no Abrir window");
    Paints paints;
    table->viewport()->installEventFilter(&paints);
    for (auto _ : state) {
        state.PauseTiming();
        program.frame().action(QStringLiteral("mNuevo"))->trigger();
        program.log().stack().clear(); // nothing of the last round kept
        QCoreApplication::processEvents();
        program.frame().action(QStringLiteral("nAbrir"))->trigger();
        abre->lineEdit(QStringLiteral("Archivo"))->setText(name);
        paints.count = 0;
        state.ResumeTiming();

        abre->button(QStringLiteral("Command1"))->click();
        QElapsedTimer waited;
        waited.start();
        while (program.frame().libro().Rows() != contacts + 1 && waited.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QCoreApplication::processEvents();
        // The first paint with the new rows; drawn by hand where the platform shows nothing on
        // its own (a window not exposed after other benchmarks' windows).
        if (paints.count == 0)
            table->viewport()->grab();

        state.PauseTiming();
        if (program.frame().libro().Rows() != contacts + 1 || paints.count == 0)
            return state.SkipWithError("the log was not opened and shown");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * contacts);
}
BENCHMARK(BM_OpenInWindow)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
