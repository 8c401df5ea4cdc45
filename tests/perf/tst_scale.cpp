// The main window holding a big log: one added or deleted contact must reach the view as
// one inserted or removed row (never a reset or a new layout, which would make the view
// walk every row), rows keep one fixed height, and the last row can be scrolled to.
#include "AppFixture.h"
#include "ModelSignals.h"
#include "common/GridStore.h"
#include "ui/GridView.h"
#include <QHeaderView>
#include <QScrollBar>
#include <string>

using namespace Qt::StringLiterals;

namespace {

constexpr int kContacts = 200000;

// Contacts numbered 1..count, with texts of a few sizes so rows differ.
GridStore bigLog(int count)
{
    GridStore rows(17);
    rows.reserveRows(count);
    std::string number, call, comment;
    std::string_view cells[17] = {};
    for (int i = 1; i <= count; ++i) {
        number = std::to_string(i);
        call = "EA" + std::to_string(1 + i % 9) + char('A' + i % 26) + char('A' + i / 26 % 26);
        comment = std::string(size_t(i % 40), 'x');
        cells[0] = number;
        cells[1] = call;
        cells[2] = "José";
        cells[3] = "Málaga";
        cells[9] = "12/02/2001";
        cells[16] = comment;
        rows.appendRow(cells, 17);
    }
    return rows;
}

bool shown(const QTableView &view, const QModelIndex &index)
{
    return view.visualRect(index).intersects(view.viewport()->rect());
}

} // namespace

class TestScale : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void rowsHaveOneFixedHeight();
    void firstAndLastRowsCanBeShown();
    void addAndDeleteChangeOneRow();

private:
    std::unique_ptr<AppFixture> m_app;
    GridView *m_view = nullptr;
};

void TestScale::init()
{
    m_app = std::make_unique<AppFixture>();
    QVERIFY(m_app->showAndActivate());
    GridModel &libro = m_app->libro();
    libro.appendRows(bigLog(kContacts));
    libro.numberRows();
    QCOMPARE(libro.Rows(), kContacts + 1);
    m_view = m_app->frame().libroView();
    QVERIFY(m_view);
    QCoreApplication::processEvents();
}

void TestScale::cleanup()
{
    m_app.reset();
    m_view = nullptr;
}

// A height asked of each row (resize to contents) would make every layout pass walk the log.
void TestScale::rowsHaveOneFixedHeight()
{
    const QHeaderView *rows = m_view->verticalHeader();
    QCOMPARE(rows->count(), kContacts);
    for (int section : {0, kContacts / 2, kContacts - 1}) {
        QCOMPARE(rows->sectionResizeMode(section), QHeaderView::Fixed);
        QCOMPARE(rows->sectionSize(section), rows->defaultSectionSize());
    }
    QCOMPARE(rows->length(), kContacts * rows->defaultSectionSize());
    const QHeaderView *cols = m_view->horizontalHeader();
    for (int c = 0; c < cols->count(); ++c)
        QVERIFY(cols->sectionResizeMode(c) != QHeaderView::ResizeToContents);
}

void TestScale::firstAndLastRowsCanBeShown()
{
    const QAbstractItemModel *model = m_view->model();
    QVERIFY(shown(*m_view, model->index(0, 0)));
    m_view->scrollToBottom();
    QCoreApplication::processEvents();
    QCOMPARE(m_view->verticalScrollBar()->value(), m_view->verticalScrollBar()->maximum());
    QVERIFY(shown(*m_view, model->index(kContacts - 1, 0)));
    QVERIFY(!shown(*m_view, model->index(0, 0)));
    QCOMPARE(m_view->rowAt(m_view->viewport()->height() - 1), kContacts - 1);
}

void TestScale::addAndDeleteChangeOneRow()
{
    GridModel &libro = m_app->libro();
    ModelSignals told(&libro);
    m_app->action("mContacto")->trigger();
    QCOMPARE(told.of("rows"), QStringList{u"rowsInserted %1-%1"_s.arg(kContacts)}); // grid row kContacts + 1
    QVERIFY(told.of("layout").isEmpty() && told.of("Reset").isEmpty());
    QCOMPARE(libro.Rows(), kContacts + 2);
    QCOMPARE(libro.TextMatrix(kContacts + 1, 0), QString::number(kContacts + 1));
    QCOMPARE(m_view->verticalHeader()->count(), kContacts + 1);

    // The middle contact goes; the one below takes its place and every number closes up.
    const int middle = kContacts / 2;
    const QString below = libro.TextMatrix(middle + 1, 1) + libro.TextMatrix(middle + 1, 16);
    libro.setCol(1);
    libro.setRow(middle);
    told.take();
    m_app->action("mBorra_linea")->trigger();
    QCOMPARE(told.of("rows"), QStringList{u"rowsRemoved %1-%1"_s.arg(middle - 1)});
    QVERIFY(told.of("layout").isEmpty() && told.of("Reset").isEmpty());
    QCOMPARE(libro.Rows(), kContacts + 1);
    QCOMPARE(libro.TextMatrix(middle, 1) + libro.TextMatrix(middle, 16), below);
    QCOMPARE(libro.TextMatrix(middle, 0), QString::number(middle));
    QCOMPARE(libro.TextMatrix(kContacts, 0), QString::number(kContacts));
    QCOMPARE(libro.Row(), middle);
    QCOMPARE(m_view->verticalHeader()->count(), kContacts);
    QCOMPARE(m_view->verticalHeader()->length(), kContacts * m_view->verticalHeader()->defaultSectionSize());
}

QTEST_MAIN(TestScale)
#include "tst_scale.moc"
