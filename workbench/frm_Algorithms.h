#pragma once
// The main window: the frame of the whole workbench. It owns the algorithm component, the
// document windows (one TfrmEditor per open algorithm, each in a sub-window of the document
// area), the two highlighting rule sets, the run panels' docks, the menus, toolbars and
// status bar, and the editor settings every new document gets.
//
// The class is split by job: frm_Algorithms.cpp builds the window and runs start-up,
// language and shutdown; frm_AlgorithmsDocuments.cpp holds the documents (new, open,
// reopen, save, close, captions, window list and tab strip, status bar panels);
// frm_AlgorithmsActions.cpp holds the action table, the menus and toolbars and the enabling
// rules.
//
// Element names (language-file keys, section "frmAlgorithms"): the actions act..., the
// menus mnuFile, mnuEdit, mnuView, mnuRun, mnuTools, mnuWindows, mnuHelp and the submenus
// mnuReopen, mnuMode, mnuCurrentWindow, mnuWindowList, mnuToolbars; the toolbars tlbFile,
// tlbRun, tlbTools, tlbEdit; the docks dcpOutput, dcpErrors, dcpVariables, dcpArrays; the
// open dialog opdFile (each document window has its own save dialog); the tab strip
// tabWindows; the status bar stbMain with the panels pnlRunState, pnlCaret, pnlModified,
// pnlHint and pnlKeyboard.

#include <QColor>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include "frm_Editor.h"
#include "vlm_Algorithm.h"

class QAction;
class QActionGroup;
class QDockWidget;
class QFileDialog;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMimeData;
class QStatusBar;
class QTabBar;
class QToolBar;
class QToolButton;
class TAlgorithmsEdit;
class TAlgorithmsRun;
class TSyntaxRules;

// The editor appearance a new document window gets (ApplyEditorSettings).
struct TEditorSettings {
    QColor SelectionForeground = QColor(0, 0, 128);
    QColor SelectionBackground = QColor(192, 192, 192);
    TLineColors LineColors;
    QString FontName;  // empty keeps the editor's own font
    int FontSize = 11;
    bool ShowLineNumbers = true;
};

class TfrmAlgorithms : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int ReopenListLimit = 9;

    // Creates the window and applies the language (start-up steps up to the first show).
    explicit TfrmAlgorithms(QWidget *parent = nullptr);
    ~TfrmAlgorithms() override;

    // ---- State ----
    QString Language = QStringLiteral("English");
    bool ResetPending = false;
    TEditorSettings EditorSettings;
    Qt::Alignment ArrayAlignment = Qt::AlignRight;
    // The program's arguments without the program name; main() sets them.
    QStringList CommandLineArguments;
    // Where "Languages/" is looked for; empty: the running program's folder.
    QString ProgramDir;

    // ---- Owned parts ----
    TAlgorithm algAlgorithm;
    TSyntaxRules *susKirda = nullptr;
    TSyntaxRules *susPrint = nullptr;
    // The run commands and panels (frm_AlgorithmsRun.cpp); find, replace, translation,
    // formatting, the editing commands and the examples (frm_AlgorithmsEdit.cpp).
    TAlgorithmsRun *AlgorithmsRun = nullptr;
    TAlgorithmsEdit *AlgorithmsEdit = nullptr;

    QMdiArea *mdiDocuments = nullptr;
    QTabBar *tabWindows = nullptr;
    QFileDialog *opdFile = nullptr;
    QDockWidget *dcpOutput = nullptr;
    QDockWidget *dcpErrors = nullptr;
    QDockWidget *dcpVariables = nullptr;
    QDockWidget *dcpArrays = nullptr;
    QStatusBar *stbMain = nullptr;
    QLabel *pnlRunState = nullptr;
    QLabel *pnlCaret = nullptr;
    QLabel *pnlModified = nullptr;
    QLabel *pnlHint = nullptr;
    QLabel *pnlKeyboard = nullptr;

    QMenu *mnuFile = nullptr, *mnuEdit = nullptr, *mnuView = nullptr, *mnuRun = nullptr;
    QMenu *mnuTools = nullptr, *mnuWindows = nullptr, *mnuHelp = nullptr;
    QMenu *mnuReopen = nullptr, *mnuMode = nullptr, *mnuCurrentWindow = nullptr;
    QMenu *mnuWindowList = nullptr, *mnuToolbars = nullptr;
    QToolBar *tlbFile = nullptr, *tlbRun = nullptr, *tlbTools = nullptr, *tlbEdit = nullptr;

    // The action table (frm_AlgorithmsActions.cpp).
    QAction *actNew = nullptr, *actOpen = nullptr, *actSave = nullptr, *actSaveAs = nullptr;
    QAction *actPreview = nullptr, *actPrint = nullptr, *actExit = nullptr;
    QAction *actHelp = nullptr, *actAbout = nullptr;
    QAction *actCompile = nullptr, *actRun = nullptr, *actStepOver = nullptr, *actStop = nullptr;
    QAction *actBreakPoint = nullptr;
    QAction *actCascade = nullptr, *actHorizontal = nullptr, *actVertical = nullptr;
    QAction *actMinimize = nullptr, *actNormalize = nullptr, *actMaximize = nullptr, *actClose = nullptr;
    QAction *actCodeFormat = nullptr, *actKirdaToCode = nullptr;
    QAction *actModeKirda = nullptr, *actModeCode = nullptr;
    QAction *actSetupEditor = nullptr, *actSetupDefault = nullptr;
    QAction *actViewOutput = nullptr, *actViewErrors = nullptr, *actViewVariables = nullptr;
    QAction *actViewArrays = nullptr;
    QAction *actUndo = nullptr, *actRedo = nullptr, *actCopy = nullptr, *actCut = nullptr, *actPaste = nullptr;
    QAction *actSearch = nullptr, *actReplace = nullptr, *actSearchNext = nullptr, *actSearchPrior = nullptr;

    // ---- Documents (frm_AlgorithmsDocuments.cpp) ----
    // A new document window, wired, translated as new, numbered, listed, set up; not shown.
    TfrmEditor *NewEditor();
    // False when no file of that name exists. A file already open brings its window to the
    // front. A file that cannot be read throws EFileError after its window was created.
    bool OpenAlgorithm(const QString &fileName);
    void AddToReopenList(const QString &fileName);
    const QStringList &ReopenList() const { return FReopenList; }
    void SetReopenList(const QStringList &list);
    QString NextAlgorithmCaption() const;
    static QString CommandLineFileName(const QStringList &arguments);
    QString CommandLineFileName() const { return CommandLineFileName(CommandLineArguments); }
    // Closes every document window, asking each; false as soon as one stays open.
    bool CloseAllEditors();
    // Shows the window: maximised inside the document area, active, its tab selected.
    void ShowEditor(TfrmEditor *editor);

    // The document windows in the order of the window list and the tab strip.
    const QList<TfrmEditor *> &Editors() const { return FEditors; }
    TfrmEditor *ActiveEditor() const;
    QMdiSubWindow *SubWindowOf(const TfrmEditor *editor) const;

    void UpdateCaretPanel();
    void UpdateModifiedPanel();
    void UpdateKeyboardPanel();
    void UpdateRunStatePanel();

    // ---- Vocabulary and appearance ----
    void RefreshKeyWordLists();
    void UpdateTranslateCaption();
    void ApplyEditorSettings(TfrmEditor *editor);
    void ApplyEditorSettingsToAll();

    // ---- Language ----
    QString LanguageFileName() const;
    // Toolkit texts (with Qt's own translations), messages, this window, error texts.
    void ApplyLanguage();

    // ---- Actions (frm_AlgorithmsActions.cpp) ----
    // Evaluates every enabling rule; runs whenever the application is idle.
    void UpdateActions();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Building (frm_Algorithms.cpp).
    void CreateDocumentArea();
    void CreateDocks();
    void CreateStatusBar();
    void CreateFileDialogs();
    // Action table, menus and toolbars (frm_AlgorithmsActions.cpp).
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void ShowShortcutsInHints();
    // Start-up after the window is first shown: the command-line file or a new document.
    void FormShow();

    // Handlers (frm_AlgorithmsDocuments.cpp and frm_AlgorithmsActions.cpp).
    void actNewExecute();
    void actOpenExecute();
    void actSaveExecute(bool askForName);
    void actCloseExecute();
    void actModeExecute(bool pseudoMode);
    void ReopenItemClick(const QString &fileName);
    void RebuildReopenMenu();
    void UpdateWindowListChecks();
    // Local .vlm files among dropped data.
    static QStringList DroppedAlgorithmFiles(const QMimeData *data);
    void OpenDroppedFiles(const QStringList &files);
    void tabWindowsChange(int index);

    // Reactions to the document windows' events.
    void EditorSaved(TfrmEditor *editor);
    void EditorCaptionChange(TfrmEditor *editor);
    void EditorDestroyed(TfrmEditor *editor);
    void EditorModifiedChange(TfrmEditor *editor);
    void EditorCaretMove(TfrmEditor *editor);
    void EditorActivated(TfrmEditor *editor);

    // Runs `handler`; any exception is shown through the prompter instead of escaping into
    // the event loop.
    template <class F> void Guarded(F &&handler);
    void ShowException(const char *what);

    bool IsIdle() const;

    QList<TfrmEditor *> FEditors;
    QStringList FReopenList;
    QPointer<TfrmEditor> FActiveEditor;
    bool FShown = false;
    bool FSyncingTab = false;
    QList<QAction *> FWindowListItems;  // one per document window, in step with FEditors
    QToolButton *FOpenButton = nullptr;
};

template <class F> void TfrmAlgorithms::Guarded(F &&handler) {
    try {
        handler();
    } catch (const std::exception &e) {
        ShowException(e.what());
    } catch (...) {
        ShowException("unknown error");
    }
}
