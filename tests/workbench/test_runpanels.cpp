// The run panels on their own (variables, arrays, errors, output, the light, copying and
// column selection) and the main-thread hook that carries a run's events.
#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QHeaderView>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "frm_RunPanels.h"
#include "unt_MainThreadHook.h"

namespace {

QStringList ColumnCaptions(QTableWidget *table) {
    QStringList captions;
    for (int c = 0; c < table->columnCount(); ++c)
        captions << table->horizontalHeaderItem(c)->text();
    return captions;
}

QStringList RowCaptions(QTableWidget *table) {
    QStringList captions;
    for (int r = 0; r < table->rowCount(); ++r)
        captions << table->verticalHeaderItem(r)->text();
    return captions;
}

QString Cell(QTableWidget *table, int row, int column) {
    QTableWidgetItem *item = table->item(row, column);
    return item ? item->text() : QString();
}

}  // namespace

TEST(RunPanels, VariablesKeepFirstSpellingOrderAndCutLongValues) {
    TRunPanels panels;
    panels.SetVariable("počet", "1");
    panels.SetVariable("b", "x");
    panels.SetVariable("POČET", "2");
    panels.SetVariable("c", QString(300, QChar('z')));
    QTableWidget *grid = panels.grdVariables;
    ASSERT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(Cell(grid, 0, 0), "počet");
    EXPECT_EQ(Cell(grid, 0, 1), "2");
    EXPECT_EQ(Cell(grid, 1, 0), "b");
    EXPECT_EQ(Cell(grid, 2, 1).size(), 255);
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), "Proměnná");
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), "Hodnota");
}

TEST(RunPanels, OneDimensionalArrayRowsSortedInOneColumn) {
    TRunPanels panels;
    panels.SetArrayElement("a", {3}, "30");
    panels.SetArrayElement("a", {1}, "10");
    panels.SetArrayElement("A", {2}, "20");
    ASSERT_EQ(panels.grdArray->count(), 1);
    EXPECT_EQ(panels.grdArray->tabText(0), "a");
    TArrayTable *table = panels.ArrayView("a", false);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(ColumnCaptions(table), QStringList({"1"}));
    EXPECT_EQ(RowCaptions(table), QStringList({"1", "2", "3"}));
    EXPECT_EQ(Cell(table, 0, 0), "10");
    EXPECT_EQ(Cell(table, 2, 0), "30");
    EXPECT_EQ(table->objectName(), "a");
    EXPECT_EQ(table->accessibleName(), "a");
}

TEST(RunPanels, TwoDimensionalArraySortsRowsAndColumns) {
    TRunPanels panels;
    panels.SetArrayElement("m", {2, 5}, "x");
    panels.SetArrayElement("m", {2, 3}, "y");
    panels.SetArrayElement("m", {-1, 4}, "z");
    panels.SetArrayElement("m", {2, 5}, "w");
    TArrayTable *table = panels.ArrayView("M", false);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(ColumnCaptions(table), QStringList({"3", "4", "5"}));
    EXPECT_EQ(RowCaptions(table), QStringList({"-1", "2"}));
    EXPECT_EQ(Cell(table, 1, 0), "y");
    EXPECT_EQ(Cell(table, 1, 2), "w");
    EXPECT_EQ(Cell(table, 0, 1), "z");
    EXPECT_EQ(Cell(table, 0, 0), "");
}

TEST(RunPanels, ThreeCoordinatesAreNotShownAndEachArrayHasItsTab) {
    TRunPanels panels;
    panels.SetArrayElement("k", {1, 2, 3}, "x");
    EXPECT_EQ(panels.grdArray->count(), 0);
    panels.SetArrayElement("p", {1}, "1");
    panels.SetArrayElement("q", {1, 1}, "1");
    ASSERT_EQ(panels.grdArray->count(), 2);
    EXPECT_EQ(panels.grdArray->tabText(1), "q");
    panels.ClearRunPanels();
    EXPECT_EQ(panels.grdArray->count(), 0);
}

TEST(RunPanels, ErrorsTurnTheListRedUntilCleared) {
    TRunPanels panels;
    const QColor normal = panels.lboErrors->palette().color(QPalette::Base);
    panels.AddErrorLine("[Chyba 3] (řádek 2): x", 2, 5);
    EXPECT_TRUE(panels.ErrorsMarked());
    EXPECT_EQ(panels.lboErrors->palette().color(QPalette::Base), QColor(255, 206, 206));
    EXPECT_EQ(panels.lboErrors->count(), 1);

    int line = 0, column = 0;
    QObject::connect(&panels, &TRunPanels::ErrorActivated, [&](int l, int c) {
        line = l;
        column = c;
    });
    emit panels.lboErrors->itemDoubleClicked(panels.lboErrors->item(0));
    EXPECT_EQ(line, 2);
    EXPECT_EQ(column, 5);

    panels.AddErrorLine("failure without a place", 0, 0);
    line = -7;
    emit panels.lboErrors->itemDoubleClicked(panels.lboErrors->item(1));
    EXPECT_EQ(line, -7);

    panels.AddOutputLine("hello");
    panels.SetVariable("a", "1");
    panels.ClearRunPanels();
    EXPECT_FALSE(panels.ErrorsMarked());
    EXPECT_EQ(panels.lboErrors->palette().color(QPalette::Base), normal);
    EXPECT_EQ(panels.lboErrors->count(), 0);
    EXPECT_TRUE(panels.memOutput->toPlainText().isEmpty());
    EXPECT_EQ(panels.grdVariables->rowCount(), 0);
}

TEST(RunPanels, OutputIsOneLinePerWriteAndReadOnly) {
    TRunPanels panels;
    panels.AddOutputLine("a");
    panels.AddOutputLine("");
    panels.AddOutputLine("žluť");
    EXPECT_EQ(panels.memOutput->toPlainText(), "a\n\nžluť");
    EXPECT_TRUE(panels.memOutput->isReadOnly());
}

TEST(RunPanels, AccessibleNamesAreObjectNames) {
    TRunPanels panels;
    for (QWidget *w : std::initializer_list<QWidget *>{panels.memOutput, panels.lboErrors, panels.grdVariables,
                                                       panels.grdArray})
        EXPECT_EQ(w->accessibleName(), w->objectName());
    EXPECT_EQ(panels.memOutput->objectName(), "memOutput");
    EXPECT_EQ(panels.grdArray->objectName(), "grdArray");
}

TEST(RunPanels, CopySelectedCellsAsTabSeparatedText) {
    TRunPanels panels;
    panels.SetArrayElement("m", {1, 1}, "a");
    panels.SetArrayElement("m", {1, 2}, "b");
    panels.SetArrayElement("m", {2, 1}, "c");
    panels.SetArrayElement("m", {2, 2}, "d");
    panels.SetArrayElement("m", {3, 3}, "e");
    TArrayTable *table = panels.ArrayView("m", false);
    auto *selection = table->selectionModel();
    selection->select(table->model()->index(0, 0), QItemSelectionModel::Select);
    selection->select(table->model()->index(0, 1), QItemSelectionModel::Select);
    selection->select(table->model()->index(1, 1), QItemSelectionModel::Select);
    EXPECT_EQ(table->SelectedCellsText(), "a\tb\n\td");
    ASSERT_TRUE(panels.CopyFrom(table));
    EXPECT_EQ(QApplication::clipboard()->text(), "a\tb\n\td");

    panels.SetVariable("x", "1");
    panels.SetVariable("y", "2");
    panels.grdVariables->selectAll();
    EXPECT_TRUE(panels.HasSelection(panels.grdVariables));
    EXPECT_EQ(panels.grdVariables->SelectedCellsText(), "x\t1\ny\t2");
}

// Header clicks: plain selects one column and anchors it, Ctrl adds and anchors, Shift
// first drops anchor..previous click, then takes anchor..clicked.
TEST(RunPanels, ColumnSelectionByHeaderClicks) {
    TRunPanels panels;
    for (int c = 1; c <= 5; ++c) {
        panels.SetArrayElement("m", {1, c}, QString::number(c));
        panels.SetArrayElement("m", {2, c}, QString::number(c));
    }
    TArrayTable *table = panels.ArrayView("m", false);
    auto selectedColumns = [&] {
        QList<int> columns;
        for (int c = 0; c < table->columnCount(); ++c)
            if (table->selectionModel()->isColumnSelected(c, QModelIndex()))
                columns << c;
        return columns;
    };
    panels.ClickArrayColumn(table, 1, Qt::NoModifier);
    EXPECT_EQ(selectedColumns(), QList<int>({1}));
    panels.ClickArrayColumn(table, 3, Qt::ShiftModifier);
    EXPECT_EQ(selectedColumns(), QList<int>({1, 2, 3}));
    panels.ClickArrayColumn(table, 2, Qt::ShiftModifier);  // shrinks back to anchor..2
    EXPECT_EQ(selectedColumns(), QList<int>({1, 2}));
    panels.ClickArrayColumn(table, 4, Qt::ControlModifier);
    EXPECT_EQ(selectedColumns(), QList<int>({1, 2, 4}));
    panels.ClickArrayColumn(table, 0, Qt::ShiftModifier);  // anchor is now 4
    EXPECT_EQ(selectedColumns(), QList<int>({0, 1, 2, 3, 4}));
    panels.ClickArrayColumn(table, 2, Qt::NoModifier);
    EXPECT_EQ(selectedColumns(), QList<int>({2}));
}

TEST(RunPanels, AlignmentReachesExistingAndNewCells) {
    TRunPanels panels;
    panels.SetArrayElement("a", {1}, "1");
    panels.SetArrayAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    panels.SetArrayElement("b", {1}, "1");
    for (TArrayTable *table : panels.ArrayTables())
        EXPECT_EQ(table->item(0, 0)->textAlignment(), int(Qt::AlignHCenter | Qt::AlignVCenter));
    panels.SetVariable("v", "1");
    panels.SetValueAlignment(Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(panels.grdVariables->item(0, 1)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
}

// --------------------------------------------------------------------------------------
// The hook

class MainThreadHookTest : public ::testing::Test {
protected:
    // Runs `body` on a worker and keeps the main event loop going until it is done.
    template <class F>
    void OnWorker(F body) {
        QEventLoop loop;
        std::thread worker([&] {
            body();
            QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
        });
        loop.exec();
        worker.join();
    }

    QObject Context;
    TMainThreadHook Hook{&Context};
};

TEST_F(MainThreadHookTest, DeliversOnTheMainThreadAndWaits) {
    QThread *ranOn = nullptr;
    bool result = false;
    int value = 0;
    OnWorker([&] {
        result = Hook.Synchronize([&] {
            ranOn = QThread::currentThread();
            value = 42;
        });
        value += 1;  // only after the function has run
    });
    EXPECT_TRUE(result);
    EXPECT_EQ(ranOn, QThread::currentThread());
    EXPECT_EQ(value, 43);
}

TEST_F(MainThreadHookTest, CarriesAnExceptionBackToTheWorker) {
    std::string caught;
    OnWorker([&] {
        try {
            Hook.Synchronize([] { throw std::runtime_error("handler failed"); });
        } catch (const std::runtime_error &e) {
            caught = e.what();
        }
    });
    EXPECT_EQ(caught, "handler failed");
}

TEST_F(MainThreadHookTest, AbortReleasesAWaitingWorkerWithoutRunningTheFunction) {
    std::atomic<bool> started{false};
    std::atomic<bool> ran{false};
    bool result = true;
    std::thread worker([&] {
        started = true;
        started.notify_one();
        result = Hook.Synchronize([&] { ran = true; });
    });
    started.wait(false);
    // The main thread does not serve events here, so the delivery can only end by Abort.
    Hook.Abort();
    worker.join();
    QCoreApplication::processEvents();
    EXPECT_FALSE(result);
    EXPECT_FALSE(ran);
    EXPECT_FALSE(Hook.Synchronize([&] { ran = true; }));
    EXPECT_FALSE(ran);
}

TEST_F(MainThreadHookTest, OnTheMainThreadRunsDirectly) {
    bool ran = false;
    EXPECT_TRUE(Hook.Synchronize([&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_FALSE(Hook.InDelivery());
}

namespace {

// Aborts the hook at the moment its queued call reaches the context, before it runs.
class TAbortOnArrival : public QObject {
public:
    explicit TAbortOnArrival(TMainThreadHook &hook) : FHook(hook) {}
    bool Arrived = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::MetaCall && !Arrived) {
            Arrived = true;
            FHook.Abort();
        }
        return false;
    }

private:
    TMainThreadHook &FHook;
};

}  // namespace

TEST_F(MainThreadHookTest, ACallAlreadyQueuedDoesNotRunAfterAbort) {
    TAbortOnArrival filter(Hook);
    Context.installEventFilter(&filter);
    std::atomic<bool> ran{false};
    std::atomic<bool> done{false};
    bool result = true;
    std::thread worker([&] {
        result = Hook.Synchronize([&] { ran = true; });
        done = true;
    });
    while (!filter.Arrived)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    worker.join();
    EXPECT_FALSE(result);
    EXPECT_FALSE(ran);
}
