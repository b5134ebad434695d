#include "frm_RunPanels.h"

#include <QApplication>
#include <QClipboard>
#include <QDockWidget>
#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>
#include <map>
#include <set>

#include "unt_Accessibility.h"

// ---------------------------------------------------------------------------------------
// Tables

TPanelTable::TPanelTable(QWidget *parent) : QTableWidget(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(true);
}

QString TPanelTable::SelectedCellsText() const {
    const QModelIndexList selected = selectedIndexes();
    if (selected.isEmpty())
        return {};
    std::set<int> rows, columns;
    std::set<std::pair<int, int>> cells;
    for (const QModelIndex &index : selected) {
        rows.insert(index.row());
        columns.insert(index.column());
        cells.insert({index.row(), index.column()});
    }
    QStringList lines;
    for (int row : rows) {
        QStringList fields;
        for (int column : columns) {
            const QTableWidgetItem *cell = item(row, column);
            fields << (cells.count({row, column}) && cell ? cell->text() : QString());
        }
        lines << fields.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n'));
}

void TPanelTable::CopySelection() const {
    if (!selectedIndexes().isEmpty())
        QApplication::clipboard()->setText(SelectedCellsText());
}

// Ctrl+C in a grid copies the grid's cells, not the document's selection: the grid claims
// the key before the window's copy command sees it.
bool TPanelTable::event(QEvent *event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Copy)) {
            event->accept();
            return true;
        }
    }
    return QTableWidget::event(event);
}

void TPanelTable::keyPressEvent(QKeyEvent *event) {
    if (event->matches(QKeySequence::Copy)) {
        CopySelection();
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

TArrayTable::TArrayTable(const QString &arrayName, QWidget *parent) : TPanelTable(parent), FArrayName(arrayName) {
    setObjectName(arrayName);
    SetAccessibleElementName(this);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setMinimumSectionSize(25);
    horizontalHeader()->setDefaultSectionSize(25);
    horizontalHeader()->setSectionsMovable(false);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    verticalHeader()->setMinimumWidth(25);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setSortingEnabled(false);
}

int TArrayTable::RowOf(int firstIndex, bool create) {
    auto it = std::lower_bound(FRowIndices.begin(), FRowIndices.end(), firstIndex);
    int row = int(it - FRowIndices.begin());
    if (it != FRowIndices.end() && *it == firstIndex)
        return row;
    if (!create)
        return -1;
    FRowIndices.insert(it, firstIndex);
    insertRow(row);
    setVerticalHeaderItem(row, new QTableWidgetItem(QString::number(firstIndex)));
    // A new row takes the focus in its first cell, without touching the selection.
    if (columnCount() > 0)
        selectionModel()->setCurrentIndex(model()->index(row, 0), QItemSelectionModel::NoUpdate);
    return row;
}

int TArrayTable::ColumnOf(int secondIndex, bool create) {
    auto it = std::lower_bound(FColumnNumbers.begin(), FColumnNumbers.end(), secondIndex);
    int column = int(it - FColumnNumbers.begin());
    if (it != FColumnNumbers.end() && *it == secondIndex)
        return column;
    if (!create)
        return -1;
    return AddArrayColumn(column, secondIndex);
}

int TArrayTable::AddArrayColumn(int position, int number) {
    position = std::clamp(position, 0, columnCount());
    FColumnNumbers.insert(FColumnNumbers.begin() + position, number);
    insertColumn(position);
    auto *caption = new QTableWidgetItem(QString::number(number));
    caption->setTextAlignment(Qt::AlignCenter);
    setHorizontalHeaderItem(position, caption);
    setColumnWidth(position, 25);
    return position;
}

void TArrayTable::SetCell(int row, int column, const QString &text) {
    QTableWidgetItem *cell = item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        cell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        cell->setTextAlignment(FAlignment);
        setItem(row, column, cell);
    }
    cell->setText(text);
    // The narrow columns grow to show the value whole; they never shrink during a run.
    int needed = fontMetrics().horizontalAdvance(text) + 8;
    if (needed > columnWidth(column))
        setColumnWidth(column, needed);
}

void TArrayTable::SetAlignment(Qt::Alignment alignment) {
    FAlignment = alignment;
    for (int row = 0; row < rowCount(); ++row)
        for (int column = 0; column < columnCount(); ++column)
            if (QTableWidgetItem *cell = item(row, column))
                cell->setTextAlignment(alignment);
}

// Enter moves to the next cell, as Tab does (wrapping to the next row).
void TArrayTable::keyPressEvent(QKeyEvent *event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        QModelIndex next = moveCursor(MoveNext, Qt::NoModifier);
        if (next.isValid())
            setCurrentIndex(next);
        event->accept();
        return;
    }
    TPanelTable::keyPressEvent(event);
}

// ---------------------------------------------------------------------------------------
// Panels

TRunPanels::TRunPanels(QObject *parent) : QObject(parent) {
    memOutput = new QPlainTextEdit;
    memOutput->setObjectName(QStringLiteral("memOutput"));
    memOutput->setReadOnly(true);
    memOutput->setLineWrapMode(QPlainTextEdit::NoWrap);
    memOutput->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    memOutput->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QFont mono(QStringLiteral("Courier New"));
    mono.setStyleHint(QFont::Monospace);
    memOutput->setFont(mono);
    SetAccessibleElementName(memOutput);

    lboErrors = new QListWidget;
    lboErrors->setObjectName(QStringLiteral("lboErrors"));
    lboErrors->setAutoFillBackground(true);
    SetAccessibleElementName(lboErrors);
    auto activate = [this](QListWidgetItem *item) {
        int line = item->data(Qt::UserRole).toInt();
        int column = item->data(Qt::UserRole + 1).toInt();
        if (line > 0)
            emit ErrorActivated(line, column);
    };
    connect(lboErrors, &QListWidget::itemDoubleClicked, this, activate);
    connect(lboErrors, &QListWidget::itemActivated, this, activate);

    grdVariables = new TPanelTable;
    grdVariables->setObjectName(QStringLiteral("grdVariables"));
    grdVariables->setColumnCount(2);
    grdVariables->setHorizontalHeaderLabels({QStringLiteral("Proměnná"), QStringLiteral("Hodnota")});
    grdVariables->verticalHeader()->hide();
    grdVariables->setWordWrap(true);
    grdVariables->setColumnWidth(0, 80);
    grdVariables->horizontalHeader()->setStretchLastSection(true);
    grdVariables->setTabKeyNavigation(false);
    SetAccessibleElementName(grdVariables);

    grdArray = new QTabWidget;
    grdArray->setObjectName(QStringLiteral("grdArray"));
    grdArray->setTabPosition(QTabWidget::North);
    grdArray->setDocumentMode(true);
    SetAccessibleElementName(grdArray);

    FOwnedOutput = memOutput;
    FOwnedErrors = lboErrors;
    FOwnedVariables = grdVariables;
    FOwnedArrays = grdArray;
    ClearRunPanels();
}

TRunPanels::~TRunPanels() {
    // Panels never put into a dock are ours to free; docks free the others.
    for (QPointer<QWidget> *owned : {&FOwnedOutput, &FOwnedErrors, &FOwnedVariables, &FOwnedArrays})
        if (*owned && !(*owned)->parent())
            delete owned->data();
}

void TRunPanels::AttachDocks(QDockWidget *output, QDockWidget *errors, QDockWidget *variables,
                             QDockWidget *arrays) {
    FOutputDock = output;
    FErrorsDock = errors;
    FVariablesDock = variables;
    FArraysDock = arrays;
    if (output)
        output->setWidget(memOutput);
    if (errors)
        errors->setWidget(lboErrors);
    if (variables)
        variables->setWidget(grdVariables);
    if (arrays)
        arrays->setWidget(grdArray);
}

void TRunPanels::ShowDock(QDockWidget *dock) {
    if (!dock)
        return;
    if (dock->isHidden())
        dock->show();
    dock->raise();  // also makes it the current tab when docks share a tabbed area
}

void TRunPanels::ClearRunPanels() {
    ClearArrayViews();
    memOutput->clear();
    lboErrors->clear();
    lboErrors->setPalette(QPalette());
    lboErrors->viewport()->setPalette(QPalette());
    FErrorsMarked = false;
    grdVariables->setRowCount(0);
}

void TRunPanels::ClearArrayViews() {
    FClickTable = nullptr;
    FAnchorColumn = FLastClickedColumn = -1;
    while (grdArray->count() > 0) {
        QWidget *page = grdArray->widget(0);
        grdArray->removeTab(0);
        delete page;
    }
}

void TRunPanels::AddOutputLine(const QString &text) {
    memOutput->appendPlainText(text);
    ShowDock(FOutputDock);
}

void TRunPanels::AddErrorLine(const QString &text, int line, int column) {
    auto *item = new QListWidgetItem(text);
    item->setData(Qt::UserRole, line);
    item->setData(Qt::UserRole + 1, column);
    lboErrors->addItem(item);
    if (!FErrorsMarked) {
        QPalette palette = lboErrors->palette();
        palette.setColor(QPalette::Base, QColor(255, 206, 206));
        lboErrors->setPalette(palette);
        lboErrors->viewport()->setPalette(palette);
        FErrorsMarked = true;
    }
    ShowDock(FErrorsDock);
}

void TRunPanels::SetVariable(const QString &name, const QString &valueText) {
    QString value = valueText.left(MaxValueLength);
    const QString key = name.toUpper();
    int row = -1;
    for (int r = 0; r < grdVariables->rowCount(); ++r) {
        if (grdVariables->item(r, 0)->data(Qt::UserRole).toString() == key) {
            row = r;
            break;
        }
    }
    if (row < 0) {
        row = grdVariables->rowCount();
        grdVariables->insertRow(row);
        auto *nameItem = new QTableWidgetItem(name);
        nameItem->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        nameItem->setData(Qt::UserRole, key);
        grdVariables->setItem(row, 0, nameItem);
        auto *valueItem = new QTableWidgetItem;
        valueItem->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        valueItem->setTextAlignment(FValueAlignment);
        grdVariables->setItem(row, 1, valueItem);
    }
    QTableWidgetItem *valueItem = grdVariables->item(row, 1);
    valueItem->setText(value);
    valueItem->setToolTip(value);
    grdVariables->resizeRowToContents(row);
}

void TRunPanels::SetArrayElement(const QString &name, const std::vector<int> &coords, const QString &valueText) {
    if (coords.empty() || coords.size() > 2)
        return;
    TArrayTable *table = ArrayView(name, true);
    int row = table->RowOf(coords[0], true);
    int column = coords.size() == 1 ? table->ColumnOf(1, table->columnCount() == 0)
                                    : table->ColumnOf(coords[1], true);
    if (column < 0)
        column = 0;  // a one-dimensional table has its one column, whatever its number
    table->SetCell(row, column, valueText.left(MaxValueLength));
}

TArrayTable *TRunPanels::ArrayView(const QString &name, bool create) {
    const QString key = name.toUpper();
    for (int i = 0; i < grdArray->count(); ++i) {
        auto *table = static_cast<TArrayTable *>(grdArray->widget(i));
        if (table->ArrayName().toUpper() == key)
            return table;
    }
    if (!create)
        return nullptr;
    auto *table = new TArrayTable(name);
    table->setFont(grdVariables->font());
    // One line of text per row, as compact as a grid of numbers wants to be.
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->SetAlignment(FArrayAlignment);
    QHeaderView *header = table->horizontalHeader();
    // Header clicks select whole columns by our own rules, not the view's.
    disconnect(header, &QHeaderView::sectionPressed, table, nullptr);
    disconnect(header, &QHeaderView::sectionEntered, table, nullptr);
    connect(header, &QHeaderView::sectionPressed, this, [this, table](int column) {
        ClickArrayColumn(table, column, QGuiApplication::keyboardModifiers());
    });
    grdArray->addTab(table, name);
    return table;
}

QList<TArrayTable *> TRunPanels::ArrayTables() const {
    QList<TArrayTable *> tables;
    for (int i = 0; i < grdArray->count(); ++i)
        tables << static_cast<TArrayTable *>(grdArray->widget(i));
    return tables;
}

void TRunPanels::SetValueAlignment(Qt::Alignment alignment) {
    FValueAlignment = alignment;
    for (int r = 0; r < grdVariables->rowCount(); ++r)
        if (QTableWidgetItem *cell = grdVariables->item(r, 1))
            cell->setTextAlignment(alignment);
}

void TRunPanels::SetArrayAlignment(Qt::Alignment alignment) {
    FArrayAlignment = alignment;
    for (TArrayTable *table : ArrayTables())
        table->SetAlignment(alignment);
}

void TRunPanels::ClickArrayColumn(TArrayTable *table, int column, Qt::KeyboardModifiers modifiers) {
    if (!table || column < 0 || column >= table->columnCount())
        return;
    QItemSelectionModel *selection = table->selectionModel();
    QAbstractItemModel *model = table->model();
    const int lastRow = model->rowCount() - 1;
    auto columns = [&](int from, int to) {
        if (from > to)
            std::swap(from, to);
        from = std::max(from, 0);
        to = std::min(to, model->columnCount() - 1);
        if (lastRow < 0 || from > to)
            return QItemSelection();
        return QItemSelection(model->index(0, from), model->index(lastRow, to));
    };
    if (FClickTable != table) {
        FClickTable = table;
        FAnchorColumn = FLastClickedColumn = -1;
    }
    if (modifiers & Qt::ShiftModifier && FAnchorColumn >= 0) {
        if (FLastClickedColumn >= 0)
            selection->select(columns(FAnchorColumn, FLastClickedColumn), QItemSelectionModel::Deselect);
        selection->select(columns(FAnchorColumn, column), QItemSelectionModel::Select);
    } else if (modifiers & Qt::ControlModifier) {
        selection->select(columns(column, column), QItemSelectionModel::Select);
        FAnchorColumn = column;
    } else {
        selection->select(columns(column, column), QItemSelectionModel::ClearAndSelect);
        FAnchorColumn = column;
    }
    if (lastRow >= 0)
        selection->setCurrentIndex(model->index(0, column), QItemSelectionModel::NoUpdate);
    FLastClickedColumn = column;
}

QWidget *TRunPanels::PanelOf(QWidget *widget) const {
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        if (w == memOutput || w == lboErrors || w == grdVariables)
            return w;
        if (auto *table = qobject_cast<TArrayTable *>(w))
            return table;
        if (w == grdArray)
            return grdArray->currentWidget();
    }
    return nullptr;
}

bool TRunPanels::HasSelection(QWidget *panel) const {
    if (panel == memOutput)
        return memOutput->textCursor().hasSelection();
    if (panel == lboErrors)
        return !lboErrors->selectedItems().isEmpty();
    if (auto *table = qobject_cast<TPanelTable *>(panel))
        return table->selectionModel()->hasSelection();
    return false;
}

bool TRunPanels::CopyFrom(QWidget *panel) const {
    if (panel == memOutput) {
        memOutput->copy();
        return true;
    }
    if (panel == lboErrors) {
        QStringList lines;
        for (const QListWidgetItem *item : lboErrors->selectedItems())
            lines << item->text();
        if (!lines.isEmpty())
            QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')));
        return true;
    }
    if (auto *table = qobject_cast<TPanelTable *>(panel)) {
        table->CopySelection();
        return true;
    }
    return false;
}
