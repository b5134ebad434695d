#pragma once
// What the four run panels show. The main window turns the algorithm component's events
// into calls of TRunPanels; this class knows nothing of the component, only texts, line
// numbers and coordinates.
//
// Order: the tables (copying, column selection), then the panels.

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTableWidget>

#include <vector>

class QDockWidget;

// A read-only grid whose selected cells Ctrl+C copies as tab-separated text.
class TPanelTable : public QTableWidget {
    Q_OBJECT
public:
    explicit TPanelTable(QWidget *parent = nullptr);
    // Rows by line feeds, cells by tabs; unselected cells inside the selection's rows and
    // columns are empty; captions are not copied.
    QString SelectedCellsText() const;
    void CopySelection() const;

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

// The table of one array: rows by the first index, columns by the second (a
// one-dimensional array has the single column 1). The row header shows the first index.
class TArrayTable : public TPanelTable {
    Q_OBJECT
public:
    explicit TArrayTable(const QString &arrayName, QWidget *parent = nullptr);
    const QString &ArrayName() const { return FArrayName; }
    int RowOf(int firstIndex, bool create);
    int ColumnOf(int secondIndex, bool create);
    // Creates a value column at `position` captioned `number`; returns its index.
    int AddArrayColumn(int position, int number);
    const std::vector<int> &RowIndices() const { return FRowIndices; }
    const std::vector<int> &ColumnNumbers() const { return FColumnNumbers; }
    void SetCell(int row, int column, const QString &text);
    void SetAlignment(Qt::Alignment alignment);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString FArrayName;
    std::vector<int> FRowIndices;      // first index of each row, ascending
    std::vector<int> FColumnNumbers;   // second index of each column, ascending
    Qt::Alignment FAlignment = Qt::AlignRight | Qt::AlignVCenter;
};

class TRunPanels : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxValueLength = 255;

    explicit TRunPanels(QObject *parent = nullptr);
    ~TRunPanels() override;

    // Puts the panels into their docks (which then own them) and remembers the docks so a
    // write or an error can bring its panel to the front. Any dock may be null.
    void AttachDocks(QDockWidget *output, QDockWidget *errors, QDockWidget *variables, QDockWidget *arrays);

    QPlainTextEdit *memOutput;
    QListWidget *lboErrors;
    TPanelTable *grdVariables;
    QTabWidget *grdArray;

    // Empties every panel and gives the error list its normal background.
    void ClearRunPanels();
    void ClearArrayViews();

    void AddOutputLine(const QString &text);
    // `line` 0 means the error has no place in the text (double click then does nothing).
    void AddErrorLine(const QString &text, int line, int column);
    bool ErrorsMarked() const { return FErrorsMarked; }

    // Names match without regard to letter case; the first spelling stays.
    void SetVariable(const QString &name, const QString &valueText);
    // Elements of arrays with more than two coordinates are not shown.
    void SetArrayElement(const QString &name, const std::vector<int> &coords, const QString &valueText);
    TArrayTable *ArrayView(const QString &name, bool create);
    QList<TArrayTable *> ArrayTables() const;

    void SetValueAlignment(Qt::Alignment alignment);
    void SetArrayAlignment(Qt::Alignment alignment);

    // Column selection of an array table by its header (plain, Ctrl and Shift clicks).
    void ClickArrayColumn(TArrayTable *table, int column, Qt::KeyboardModifiers modifiers);

    // The panel widget inside `widget`'s ancestry that can copy, or null.
    QWidget *PanelOf(QWidget *widget) const;
    bool HasSelection(QWidget *panel) const;
    // Copies the selection of the given panel; false when it is not one of ours.
    bool CopyFrom(QWidget *panel) const;

signals:
    // Double click (or Enter) on an error line that has a place in the text.
    void ErrorActivated(int line, int column);

private:
    void ShowDock(QDockWidget *dock);

    QPointer<QDockWidget> FOutputDock, FErrorsDock, FVariablesDock, FArraysDock;
    QPointer<QWidget> FOwnedOutput, FOwnedErrors, FOwnedVariables, FOwnedArrays;
    bool FErrorsMarked = false;
    Qt::Alignment FValueAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    Qt::Alignment FArrayAlignment = Qt::AlignRight | Qt::AlignVCenter;
    QPointer<TArrayTable> FClickTable;  // table of the anchor and of the last clicked column
    int FAnchorColumn = -1;
    int FLastClickedColumn = -1;
};
