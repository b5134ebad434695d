// The action table of the main window: every command with its caption, hint and shortcut,
// the menus and toolbars that show them, the handlers of the commands that belong to
// documents, windows and views, and the enabling rules, evaluated in one place whenever the
// application is idle. Commands whose handlers come with the run panels, printing, the
// settings, help and the about box are in the table already (so menus, toolbars and language
// files are complete) and stay disabled until their handlers are connected.
#include "frm_Algorithms.h"

#include <QAction>
#include <QActionGroup>
#include <QDockWidget>
#include <QFileDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>

#include <Qsci/qsciscintilla.h>

#include "dtm_Images.h"
#include "frm_AlgorithmsEdit.h"
#include "frm_AlgorithmsRun.h"
#include "unt_Prompts.h"

namespace {

struct TActionDef {
    QAction *TfrmAlgorithms::*Member;
    const char *Name;
    const char *Caption;
    const char *Hint;
    QKeySequence Keys;
};

// Captions and hints are the designed Czech texts; language files replace them by name.
const TActionDef ActionTable[] = {
    {&TfrmAlgorithms::actNew, "actNew", "Nový", "Nový algoritmus", QKeySequence(Qt::CTRL | Qt::Key_N)},
    {&TfrmAlgorithms::actOpen, "actOpen", "Otevřít...", "Otevřít soubor s algoritmem", QKeySequence(Qt::CTRL | Qt::Key_O)},
    {&TfrmAlgorithms::actSave, "actSave", "Uložit", "Uložit algoritmus", QKeySequence(Qt::CTRL | Qt::Key_S)},
    {&TfrmAlgorithms::actSaveAs, "actSaveAs", "Uložit jako...", "Uložit algoritmus do jiného souboru", {}},
    {&TfrmAlgorithms::actPreview, "actPreview", "Náhled...", "Náhled tisku", QKeySequence(Qt::CTRL | Qt::Key_W)},
    {&TfrmAlgorithms::actPrint, "actPrint", "Tisk...", "Vytisknout algoritmus", QKeySequence(Qt::CTRL | Qt::Key_P)},
    {&TfrmAlgorithms::actExit, "actExit", "Konec", "Ukončit program Velmora", QKeySequence(Qt::ALT | Qt::Key_F4)},
    {&TfrmAlgorithms::actHelp, "actHelp", "Nápověda", "", QKeySequence(Qt::Key_F1)},
    {&TfrmAlgorithms::actAbout, "actAbout", "O programu...", "", {}},
    {&TfrmAlgorithms::actCompile, "actCompile", "Zkontrolovat", "Zkontrolovat syntaxi algoritmu", QKeySequence(Qt::CTRL | Qt::Key_F9)},
    {&TfrmAlgorithms::actRun, "actRun", "Spustit", "Spustit algoritmus", QKeySequence(Qt::Key_F9)},
    {&TfrmAlgorithms::actStepOver, "actStepOver", "Další krok algoritmu", "Krokovat algoritmus - vykonat další příkaz algoritmu", QKeySequence(Qt::Key_F8)},
    {&TfrmAlgorithms::actStop, "actStop", "Přerušit", "Přerušit běh algoritmu", QKeySequence(Qt::CTRL | Qt::Key_F2)},
    {&TfrmAlgorithms::actBreakPoint, "actBreakPoint", "Přidat / odebrat stop-značku",
     "Přidá nebo odebere stop-značku (break point) na aktuálním řádku algoritmu", QKeySequence(Qt::Key_F5)},
    {&TfrmAlgorithms::actCascade, "actCascade", "Kaskáda", "Srovnat okna za sebe", {}},
    {&TfrmAlgorithms::actHorizontal, "actHorizontal", "Vodorovně nad sebe", "Rozmístit okna vodorovně nad sebe", {}},
    {&TfrmAlgorithms::actVertical, "actVertical", "Svisle vedle sebe", "Rozmístit okna svisle vedle sebe", {}},
    {&TfrmAlgorithms::actMinimize, "actMinimize", "Minimalizovat", "", {}},
    {&TfrmAlgorithms::actNormalize, "actNormalize", "Obnovit", "", {}},
    {&TfrmAlgorithms::actMaximize, "actMaximize", "Maximalizovat", "", {}},
    {&TfrmAlgorithms::actClose, "actClose", "Zavřít", "", QKeySequence(Qt::CTRL | Qt::Key_Q)},
    {&TfrmAlgorithms::actCodeFormat, "actCodeFormat", "Naformátovat kód", "Naformátovat kód", {}},
    // Caption and hint follow the vocabulary (UpdateTranslateCaption).
    {&TfrmAlgorithms::actKirdaToCode, "actKirdaToCode", "", "", {}},
    {&TfrmAlgorithms::actModeKirda, "actModeKirda", "Český pseoudokód", "Používat český pseoudokód", {}},
    {&TfrmAlgorithms::actModeCode, "actModeCode", "Anglický kód", "Používat anglický kód", {}},
    {&TfrmAlgorithms::actSetupEditor, "actSetupEditor", "Nastavení", "Nastavení programu", {}},
    {&TfrmAlgorithms::actSetupDefault, "actSetupDefault", "Obnovit výchozí nastavení",
     "Obnoví výchozí nastavení programu (při jeho dalším spuštění)", {}},
    {&TfrmAlgorithms::actViewOutput, "actViewOutput", "Výstup", "", {}},
    {&TfrmAlgorithms::actViewErrors, "actViewErrors", "Chyby", "", {}},
    {&TfrmAlgorithms::actViewVariables, "actViewVariables", "Proměnné", "", {}},
    {&TfrmAlgorithms::actViewArrays, "actViewArrays", "Pole", "", {}},
    {&TfrmAlgorithms::actUndo, "actUndo", "Zpět", "Zpět", QKeySequence(Qt::CTRL | Qt::Key_Z)},
    {&TfrmAlgorithms::actRedo, "actRedo", "Odvolat zpět", "Odvolat zpět", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
    {&TfrmAlgorithms::actCopy, "actCopy", "Kopírovat", "Kopírovat označený text", QKeySequence(Qt::CTRL | Qt::Key_C)},
    {&TfrmAlgorithms::actCut, "actCut", "Vyjmout", "Vyjmnout označený text", QKeySequence(Qt::CTRL | Qt::Key_X)},
    {&TfrmAlgorithms::actPaste, "actPaste", "Vložit", "Vložit text ze schránky", QKeySequence(Qt::CTRL | Qt::Key_V)},
    {&TfrmAlgorithms::actSearch, "actSearch", "Najít", "Najít zadaný text", QKeySequence(Qt::CTRL | Qt::Key_F)},
    {&TfrmAlgorithms::actReplace, "actReplace", "Nahradit", "Nahradit určitý text jiným", QKeySequence(Qt::CTRL | Qt::Key_R)},
    {&TfrmAlgorithms::actSearchNext, "actSearchNext", "Najít další", "Najít další zadaný text", QKeySequence(Qt::Key_F3)},
    {&TfrmAlgorithms::actSearchPrior, "actSearchPrior", "Najít předchozí", "Najít předchozí zadaný text",
     QKeySequence(Qt::SHIFT | Qt::Key_F3)},
};

// The picture of each command that has one (the data module's list).
const std::pair<QAction *TfrmAlgorithms::*, TIconIndex> ActionIcons[] = {
    {&TfrmAlgorithms::actNew, iiNew}, {&TfrmAlgorithms::actOpen, iiOpen}, {&TfrmAlgorithms::actSave, iiSave},
    {&TfrmAlgorithms::actSaveAs, iiSaveAs}, {&TfrmAlgorithms::actPreview, iiPreview},
    {&TfrmAlgorithms::actPrint, iiPrint}, {&TfrmAlgorithms::actExit, iiExit}, {&TfrmAlgorithms::actHelp, iiHelp},
    {&TfrmAlgorithms::actAbout, iiAbout}, {&TfrmAlgorithms::actCompile, iiCompile}, {&TfrmAlgorithms::actRun, iiRun},
    {&TfrmAlgorithms::actStepOver, iiStepOver}, {&TfrmAlgorithms::actStop, iiStop},
    {&TfrmAlgorithms::actBreakPoint, iiBreakPoint}, {&TfrmAlgorithms::actCascade, iiCascade},
    {&TfrmAlgorithms::actHorizontal, iiHorizontal}, {&TfrmAlgorithms::actVertical, iiVertical},
    {&TfrmAlgorithms::actMinimize, iiMinimize}, {&TfrmAlgorithms::actNormalize, iiNormalize},
    {&TfrmAlgorithms::actMaximize, iiMaximize}, {&TfrmAlgorithms::actClose, iiClose},
    {&TfrmAlgorithms::actCodeFormat, iiCodeFormat}, {&TfrmAlgorithms::actKirdaToCode, iiKirdaToCode},
    {&TfrmAlgorithms::actSetupEditor, iiSetupEditor}, {&TfrmAlgorithms::actSetupDefault, iiSetupDefault},
    {&TfrmAlgorithms::actUndo, iiUndo}, {&TfrmAlgorithms::actRedo, iiRedo}, {&TfrmAlgorithms::actCopy, iiCopy},
    {&TfrmAlgorithms::actCut, iiCut}, {&TfrmAlgorithms::actPaste, iiPaste}, {&TfrmAlgorithms::actSearch, iiSearch},
    {&TfrmAlgorithms::actReplace, iiReplace}, {&TfrmAlgorithms::actSearchNext, iiSearchNext},
    {&TfrmAlgorithms::actSearchPrior, iiSearchPrior},
};

void SetEnabled(QAction *action, bool enabled) {
    if (action->isEnabled() != enabled)
        action->setEnabled(enabled);
}

void SetChecked(QAction *action, bool checked) {
    if (action->isChecked() != checked)
        action->setChecked(checked);
}

// Lays the visible, normal document windows out in one row or one column.
void TileSubWindows(QMdiArea *area, Qt::Orientation orientation) {
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *sub : area->subWindowList(QMdiArea::CreationOrder))
        if (!sub->isHidden()) {
            sub->showNormal();
            windows.append(sub);
        }
    if (windows.isEmpty())
        return;
    const QRect area_ = area->viewport()->rect();
    const int count = int(windows.size());
    for (int i = 0; i < count; ++i) {
        QRect cell;
        if (orientation == Qt::Vertical) {
            const int top = area_.height() * i / count, bottom = area_.height() * (i + 1) / count;
            cell = QRect(0, top, area_.width(), bottom - top);
        } else {
            const int left = area_.width() * i / count, right = area_.width() * (i + 1) / count;
            cell = QRect(left, 0, right - left, area_.height());
        }
        windows[i]->setGeometry(cell);
    }
}

}  // namespace

void TfrmAlgorithms::CreateActions() {
    for (const TActionDef &def : ActionTable) {
        auto *action = new QAction(QString::fromUtf8(def.Caption), this);
        action->setObjectName(QString::fromLatin1(def.Name));
        const QString hint = QString::fromUtf8(def.Hint);
        if (!hint.isEmpty()) {
            action->setToolTip(hint);
            action->setStatusTip(hint);
        }
        if (!def.Keys.isEmpty())
            action->setShortcut(def.Keys);
        // Shortcuts work while the focus is anywhere in the main window, docks included.
        action->setShortcutContext(Qt::WindowShortcut);
        this->*def.Member = action;
        addAction(action);
    }
    if (const TdtmImages *images = TdtmImages::Instance())
        for (auto [member, index] : ActionIcons)
            (this->*member)->setIcon(images->Icon(index));

    auto on = [this](QAction *action, auto handler) {
        connect(action, &QAction::triggered, this, [this, handler] { Guarded(handler); });
    };
    on(actNew, [this] { actNewExecute(); });
    on(actOpen, [this] { actOpenExecute(); });
    on(actSave, [this] { actSaveExecute(false); });
    on(actSaveAs, [this] { actSaveExecute(true); });
    on(actClose, [this] { actCloseExecute(); });
    on(actExit, [this] { close(); });

    on(actBreakPoint, [this] {
        if (TfrmEditor *editor = ActiveEditor())
            editor->ToggleStopMark(editor->CaretLine());
    });

    actModeKirda->setCheckable(true);
    actModeCode->setCheckable(true);
    auto *modes = new QActionGroup(this);
    modes->addAction(actModeKirda);
    modes->addAction(actModeCode);
    on(actModeKirda, [this] { actModeExecute(true); });
    on(actModeCode, [this] { actModeExecute(false); });

    on(actCascade, [this] { mdiDocuments->cascadeSubWindows(); });
    on(actHorizontal, [this] { TileSubWindows(mdiDocuments, Qt::Vertical); });
    on(actVertical, [this] { TileSubWindows(mdiDocuments, Qt::Horizontal); });
    on(actMinimize, [this] {
        if (QMdiSubWindow *sub = SubWindowOf(ActiveEditor()))
            sub->showMinimized();
    });
    on(actNormalize, [this] {
        if (QMdiSubWindow *sub = SubWindowOf(ActiveEditor()))
            sub->showNormal();
    });
    on(actMaximize, [this] {
        if (QMdiSubWindow *sub = SubWindowOf(ActiveEditor()))
            sub->showMaximized();
    });

    // The editing commands (undo, redo, copy, cut, paste) are connected by TAlgorithmsEdit:
    // they act on the focused run panel, else on the active document.

    // Each view command shows or hides its panel; its tick follows the panel, also when the
    // panel's own close button hides it.
    const std::pair<QAction *, QDockWidget *> views[] = {
        {actViewOutput, dcpOutput}, {actViewErrors, dcpErrors}, {actViewVariables, dcpVariables}, {actViewArrays, dcpArrays}};
    for (auto [action, dock] : views) {
        action->setCheckable(true);
        action->setChecked(dock->toggleViewAction()->isChecked());
        connect(action, &QAction::triggered, this, [dock](bool checked) { dock->setVisible(checked); });
        connect(dock->toggleViewAction(), &QAction::toggled, action, &QAction::setChecked);
    }
}

void TfrmAlgorithms::CreateMenus() {
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("mnuMain"));
    auto menu = [](QWidget *parent, const char *name, const char *caption) {
        auto *m = new QMenu(QString::fromUtf8(caption), parent);
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };

    mnuFile = menu(bar, "mnuFile", "Soubor");
    mnuReopen = menu(mnuFile, "mnuReopen", "Otevřít poslední");
    mnuFile->addAction(actNew);
    mnuFile->addAction(actOpen);
    mnuFile->addMenu(mnuReopen);
    mnuFile->addSeparator();
    mnuFile->addAction(actSave);
    mnuFile->addAction(actSaveAs);
    mnuFile->addSeparator();
    mnuFile->addAction(actPreview);
    mnuFile->addAction(actPrint);
    mnuFile->addSeparator();
    mnuFile->addAction(actExit);

    mnuEdit = menu(bar, "mnuEdit", "Úpravy");
    mnuEdit->addActions({actUndo, actRedo});
    mnuEdit->addSeparator();
    mnuEdit->addActions({actCopy, actCut, actPaste});
    mnuEdit->addSeparator();
    mnuEdit->addActions({actSearch, actReplace, actSearchNext, actSearchPrior});

    mnuView = menu(bar, "mnuView", "Zobrazit");
    mnuView->addActions({actViewOutput, actViewErrors, actViewVariables, actViewArrays});
    mnuView->addSeparator();
    mnuToolbars = menu(mnuView, "mnuToolbars", "Panely násrojů");
    mnuView->addMenu(mnuToolbars);

    mnuRun = menu(bar, "mnuRun", "Spustit");
    mnuRun->addActions({actCompile, actRun, actStepOver});
    mnuRun->addSeparator();
    mnuRun->addAction(actStop);
    mnuRun->addSeparator();
    mnuRun->addAction(actBreakPoint);

    mnuTools = menu(bar, "mnuTools", "Nástroje");
    mnuTools->addAction(actCodeFormat);
    mnuTools->addSeparator();
    mnuMode = menu(mnuTools, "mnuMode", "Mód");
    mnuMode->addActions({actModeKirda, actModeCode});
    mnuMode->addSeparator();
    mnuMode->addAction(actKirdaToCode);
    mnuTools->addMenu(mnuMode);
    mnuTools->addSeparator();
    mnuTools->addActions({actSetupEditor, actSetupDefault});

    mnuWindows = menu(bar, "mnuWindows", "Okna");
    mnuCurrentWindow = menu(mnuWindows, "mnuCurrentWindow", "Aktuální okno");
    mnuCurrentWindow->addActions({actMinimize, actNormalize, actMaximize});
    mnuCurrentWindow->addSeparator();
    mnuCurrentWindow->addAction(actClose);
    mnuWindows->addMenu(mnuCurrentWindow);
    mnuWindows->addSeparator();
    mnuWindows->addActions({actCascade, actHorizontal, actVertical});
    mnuWindows->addSeparator();
    mnuWindowList = menu(mnuWindows, "mnuWindowList", "Otevřená okna");
    mnuWindows->addMenu(mnuWindowList);
    connect(mnuWindowList, &QMenu::aboutToShow, this, [this] {
        mnuWindowList->setEnabled(IsIdle());
        UpdateWindowListChecks();
    });

    mnuHelp = menu(bar, "mnuHelp", "Nápověda");
    mnuHelp->addAction(actAbout);

    for (QMenu *m : {mnuFile, mnuEdit, mnuView, mnuRun, mnuTools, mnuWindows, mnuHelp})
        bar->addMenu(m);
}

void TfrmAlgorithms::CreateToolBars() {
    auto toolBar = [this](const char *name, const char *caption) {
        auto *bar = new QToolBar(QString::fromUtf8(caption), this);
        bar->setObjectName(QString::fromLatin1(name));
        addToolBar(Qt::TopToolBarArea, bar);
        mnuToolbars->addAction(bar->toggleViewAction());
        return bar;
    };

    tlbFile = toolBar("tlbFile", "Soubor");
    tlbFile->addAction(actNew);
    tlbFile->addAction(actOpen);
    FOpenButton = qobject_cast<QToolButton *>(tlbFile->widgetForAction(actOpen));
    if (FOpenButton) {
        FOpenButton->setMenu(mnuReopen);
        FOpenButton->setPopupMode(QToolButton::MenuButtonPopup);
    }
    tlbFile->addSeparator();
    tlbFile->addActions({actSave, actSaveAs});
    tlbFile->addSeparator();
    tlbFile->addAction(actPreview);

    tlbRun = toolBar("tlbRun", "Spustit");
    tlbRun->addActions({actCompile, actRun, actStepOver});
    tlbRun->addSeparator();
    tlbRun->addAction(actStop);

    tlbTools = toolBar("tlbTools", "Nástroje");
    tlbTools->addAction(actCodeFormat);
    tlbTools->addSeparator();
    tlbTools->addAction(actSetupEditor);

    tlbEdit = toolBar("tlbEdit", "Úpravy");
    tlbEdit->addActions({actUndo, actRedo});
    tlbEdit->addSeparator();
    tlbEdit->addActions({actSearch, actReplace});
    tlbEdit->hide();
}

void TfrmAlgorithms::ShowShortcutsInHints() {
    // Tool tips name the shortcut; a translation may have replaced the hint, or not.
    for (const TActionDef &def : ActionTable) {
        QAction *action = this->*def.Member;
        if (action->shortcut().isEmpty())
            continue;
        const QString suffix = QStringLiteral(" (%1)").arg(action->shortcut().toString(QKeySequence::NativeText));
        QString tip = action->toolTip();
        if (!tip.endsWith(suffix))
            action->setToolTip(tip + suffix);
    }
}

// ---- Handlers ------------------------------------------------------------------------------

void TfrmAlgorithms::actNewExecute() { ShowEditor(NewEditor()); }

void TfrmAlgorithms::actOpenExecute() {
    const QStringList chosen = Prompter().ChooseFiles(opdFile);
    if (!chosen.isEmpty())
        OpenAlgorithm(chosen.first());
}

void TfrmAlgorithms::actModeExecute(bool pseudoMode) {
    algAlgorithm.KeyWords().PseudoMode = pseudoMode;
    RefreshKeyWordLists();
}

// ---- Enabling rules ------------------------------------------------------------------------

void TfrmAlgorithms::UpdateActions() {
    Guarded([this] {
        TfrmEditor *editor = ActiveEditor();
        QsciScintilla *sed = editor ? editor->sedEditor : nullptr;
        const bool window = editor != nullptr;
        // A run just started counts as running before the worker has taken it up.
        const TRunStatus status = AlgorithmsRun->EffectiveStatus();
        const bool idle = status == rsIdle;
        const qsizetype windows = FEditors.size();

        SetEnabled(actNew, idle);
        SetEnabled(actOpen, idle);
        SetEnabled(actSave, window && editor->Modified());
        SetEnabled(actSaveAs, window && idle);
        SetEnabled(actExit, true);
        SetEnabled(actClose, window && idle);
        SetEnabled(actBreakPoint, window);

        SetEnabled(actCascade, windows >= 2);
        SetEnabled(actHorizontal, windows >= 2);
        SetEnabled(actVertical, windows >= 2);
        SetEnabled(actMinimize, window && idle);
        SetEnabled(actNormalize, window);
        SetEnabled(actMaximize, window);

        const bool pseudo = algAlgorithm.KeyWords().PseudoMode;
        SetEnabled(actModeKirda, idle);
        SetEnabled(actModeCode, idle);
        SetChecked(actModeKirda, pseudo);
        SetChecked(actModeCode, !pseudo);

        SetEnabled(actUndo, sed && sed->isUndoAvailable());
        SetEnabled(actRedo, sed && sed->isRedoAvailable());
        SetEnabled(actCopy, sed && sed->hasSelectedText());
        SetEnabled(actCut, sed && idle && sed->hasSelectedText());
        SetEnabled(actPaste, sed && idle && !sed->isReadOnly());

        for (QAction *view : {actViewOutput, actViewErrors, actViewVariables, actViewArrays})
            SetEnabled(view, true);

        // Commands whose handlers are not connected yet stay off.
        for (QAction *pending : {actPreview, actPrint, actHelp, actAbout, actSetupEditor, actSetupDefault})
            SetEnabled(pending, false);

        mnuReopen->setEnabled(idle && !FReopenList.isEmpty());
        if (FOpenButton)
            FOpenButton->setEnabled(idle);
        mnuWindowList->setEnabled(idle && windows > 0);
        if (tabWindows->isEnabled() != idle)
            tabWindows->setEnabled(idle);

        // The run commands, and the text commands (which may overrule the editing rules above
        // when a run panel has the focus).
        AlgorithmsRun->UpdateActions();
        AlgorithmsEdit->UpdateActions();
        UpdateRunStatePanel();
        UpdateKeyboardPanel();
    });
}
