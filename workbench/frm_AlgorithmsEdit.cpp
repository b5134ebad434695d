// Order: creation, find and replace, translation and formatting, editing commands,
// examples, enabling.
#include "frm_AlgorithmsEdit.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>

#include <Qsci/qsciscintilla.h>

#include "frm_Algorithms.h"
#include "frm_AlgorithmsRun.h"
#include "frm_Editor.h"
#include "frm_RunPanels.h"
#include "unt_AlgorithmFile.h"
#include "unt_Localization.h"
#include "unt_Prompts.h"
#include "unt_Search.h"
#include "vlm_Encoding.h"
#include "vlm_Exceptions.h"
#include "vlm_Translate.h"

namespace {

std::string JoinLines(const TArrayOfString &lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += "\r\n";
        text += lines[i];
    }
    return text;
}

// Replaces the document's text with a core text as one undo step (the editor's own
// setText would empty the undo history), keeping the caret's line and the view where they
// were as far as the new text allows.
void ReplaceDocument(TfrmEditor *editor, const std::string &text, const std::vector<char32_t> &placeholders) {
    QStringList lines;
    for (const std::string &line : CoreToLines(text, placeholders))
        lines << QString::fromStdString(line);
    QsciScintilla *sed = editor->sedEditor;
    const int caretLine = editor->CaretLine();
    const int firstVisible = sed->firstVisibleLine();
    sed->beginUndoAction();
    sed->selectAll();
    sed->replaceSelectedText(lines.join(QLatin1Char('\n')));
    sed->endUndoAction();
    editor->SetCaret(caretLine, 1);
    sed->setFirstVisibleLine(firstVisible);
    editor->SetModified(true);
}

}  // namespace

// ---- Creation ----------------------------------------------------------------------------

TAlgorithmsEdit::TAlgorithmsEdit(TfrmAlgorithms &window, TAlgorithmsRun &run)
    : QObject(&window), W(window), Run(run) {
    setObjectName(QStringLiteral("AlgorithmsEdit"));
    fidFind = new TFindDialog(&W);
    rpdReplace = new TReplaceDialog(&W);
    connect(fidFind, &TSearchDialog::FindNext, this, [this] { SearchDialogFind(fidFind); });
    connect(rpdReplace, &TSearchDialog::FindNext, this, [this] { SearchDialogFind(rpdReplace); });
    connect(rpdReplace, &TReplaceDialog::Replace, this, [this] { ReplaceDialogReplace(false); });
    connect(rpdReplace, &TReplaceDialog::ReplaceAll, this, [this] { ReplaceDialogReplace(true); });

    auto on = [this](QAction *action, auto handler) {
        connect(action, &QAction::triggered, this, [this, handler] { Guarded(handler); });
    };
    on(W.actSearch, [this] { actSearchExecute(); });
    on(W.actReplace, [this] { actReplaceExecute(); });
    on(W.actSearchNext, [this] { actSearchNextExecute(true); });
    on(W.actSearchPrior, [this] { actSearchNextExecute(false); });
    on(W.actKirdaToCode, [this] { actKirdaToCodeExecute(); });
    on(W.actCodeFormat, [this] { actCodeFormatExecute(); });

    // The editing commands go to the focused run panel when one has the focus.
    for (QAction *action : {W.actUndo, W.actRedo, W.actCopy, W.actCut, W.actPaste})
        on(action, [this, action] { EditCommand(action); });

    mnuExamples = new QMenu(QStringLiteral("Příklady"), W.mnuFile);
    mnuExamples->setObjectName(QStringLiteral("mnuExamples"));
    // Right after the reopen list.
    const QList<QAction *> items = W.mnuFile->actions();
    const qsizetype reopen = items.indexOf(W.mnuReopen->menuAction());
    W.mnuFile->insertMenu(reopen >= 0 && reopen + 1 < items.size() ? items[reopen + 1] : nullptr, mnuExamples);
    connect(mnuExamples, &QMenu::aboutToShow, this, &TAlgorithmsEdit::RebuildExamplesMenu);
    RebuildExamplesMenu();
}

template <class F> void TAlgorithmsEdit::Guarded(F &&command) {
    try {
        command();
    } catch (const std::exception &e) {
        ShowCommandFailure(&W, e.what());
    }
}

// ---- Find and replace --------------------------------------------------------------------

void TAlgorithmsEdit::ShowSearchDialog(TSearchDialog *dialog) {
    TfrmEditor *editor = W.ActiveEditor();
    if (!editor)
        return;
    // A selection within one line is what the user most likely wants to find.
    const QString selected = editor->sedEditor->selectedText();
    if (!selected.isEmpty() && !selected.contains(QLatin1Char('\n')) && !selected.contains(QLatin1Char('\r')))
        dialog->SetFindText(selected);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void TAlgorithmsEdit::actSearchExecute() { ShowSearchDialog(fidFind); }

void TAlgorithmsEdit::actReplaceExecute() { ShowSearchDialog(rpdReplace); }

void TAlgorithmsEdit::SearchDialogFind(TSearchDialog *dialog) {
    if (TfrmEditor *editor = W.ActiveEditor())
        SearchText(editor->sedEditor, dialog->FindText(), dialog->Options());
}

void TAlgorithmsEdit::ReplaceDialogReplace(bool all) {
    TfrmEditor *editor = W.ActiveEditor();
    if (!editor)
        return;
    if (all)
        ReplaceAllText(editor->sedEditor, rpdReplace->FindText(), rpdReplace->ReplaceText(), rpdReplace->Options());
    else
        ReplaceText(editor->sedEditor, rpdReplace->FindText(), rpdReplace->ReplaceText(), rpdReplace->Options());
}

void TAlgorithmsEdit::actSearchNextExecute(bool forward) {
    TfrmEditor *editor = W.ActiveEditor();
    if (!editor)
        return;
    TSearchOptions options = fidFind->Options();
    options.Forward = forward;
    SearchText(editor->sedEditor, fidFind->FindText(), options);
}

// ---- Translation and formatting ----------------------------------------------------------

bool TAlgorithmsEdit::PrepareAlgorithmText(TfrmEditor *editor) {
    if (W.algAlgorithm.Status() != rsIdle)
        return false;
    W.algAlgorithm.Algoritmus = editor->CoreLines();
    return true;
}

void TAlgorithmsEdit::actKirdaToCodeExecute() {
    if (TfrmEditor *editor = W.ActiveEditor(); editor && PrepareAlgorithmText(editor)) {
        std::vector<char32_t> placeholders;
        const std::string text = JoinLines(editor->CoreLines(&placeholders));
        try {
            const std::string result = TranslateVocabulary(W.algAlgorithm.KeyWords(), text);
            ReplaceDocument(editor, result, placeholders);
        } catch (const ECatalogueError &) {
            // An unclosed string: the error list shows it, the text stays as it was.
        }
    }
    W.RefreshKeyWordLists();
}

void TAlgorithmsEdit::actCodeFormatExecute() {
    TfrmEditor *editor = W.ActiveEditor();
    if (!editor || !PrepareAlgorithmText(editor))
        return;
    const auto answer = Prompter().Question(&W, GetMessageText(QStringLiteral("AutoFormatCaption")),
                                            GetMessageText(QStringLiteral("AutoFormatMessage")),
                                            QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
    if (answer != QMessageBox::Ok || W.ActiveEditor() != editor)
        return;
    std::vector<char32_t> placeholders;
    const std::string text = JoinLines(editor->CoreLines(&placeholders));
    try {
        ReplaceDocument(editor, FormatCode(W.algAlgorithm.KeyWords(), text), placeholders);
    } catch (const ECatalogueError &) {
        // As for translation: reported in the error list, the text unchanged.
    }
}

// ---- Editing commands --------------------------------------------------------------------

QWidget *TAlgorithmsEdit::FocusedPanel() const {
    QWidget *focus = QApplication::focusWidget();
    return focus ? Run.Panels()->PanelOf(focus) : nullptr;
}

void TAlgorithmsEdit::EditCommand(QAction *action) {
    if (QWidget *panel = FocusedPanel()) {
        if (action == W.actCopy)
            Run.Panels()->CopyFrom(panel);
        return;  // the panels are read-only
    }
    TfrmEditor *editor = W.ActiveEditor();
    if (!editor)
        return;
    QsciScintilla *sed = editor->sedEditor;
    if (action == W.actUndo)
        sed->undo();
    else if (action == W.actRedo)
        sed->redo();
    else if (action == W.actCopy)
        sed->copy();
    else if (action == W.actCut)
        sed->cut();
    else if (action == W.actPaste)
        sed->paste();
}

// ---- Examples ----------------------------------------------------------------------------

QString TAlgorithmsEdit::ExamplesFolder(const QString &programDir) {
    const QString dir = programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir;
    for (const QString &candidate : {dir + QStringLiteral("/examples"), dir + QStringLiteral("/../share/velmora/examples")})
        if (QFileInfo(candidate).isDir())
            return QDir(candidate).absolutePath();
    return {};
}

QStringList TAlgorithmsEdit::ExampleFiles() const {
    const QString folder = ExamplesFolder();
    if (folder.isEmpty())
        return {};
    QDir dir(folder);
    QStringList files;
    for (const QString &name : dir.entryList({QStringLiteral("*.vlm")}, QDir::Files | QDir::Readable, QDir::Name))
        files << dir.absoluteFilePath(name);
    return files;
}

TfrmEditor *TAlgorithmsEdit::OpenExample(const QString &fileName) {
    TAlgorithmFileFormat format;
    const QStringList lines = ReadAlgorithmFile(fileName, format);  // before a window exists
    TfrmEditor *editor = W.NewEditor();
    editor->SetLines(lines);
    editor->sedEditor->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    editor->sedEditor->setCursorPosition(0, 0);
    editor->SetModified(false);
    W.ShowEditor(editor);
    return editor;
}

void TAlgorithmsEdit::RebuildExamplesMenu() {
    mnuExamples->clear();
    for (const QString &file : ExampleFiles()) {
        QAction *item = mnuExamples->addAction(QFileInfo(file).completeBaseName());
        connect(item, &QAction::triggered, this, [this, file] { Guarded([&] { OpenExample(file); }); });
    }
}

// ---- Enabling ----------------------------------------------------------------------------

void TAlgorithmsEdit::UpdateActions() {
    TfrmEditor *editor = W.ActiveEditor();
    const bool window = editor != nullptr;
    const bool idle = Run.EffectiveStatus() == rsIdle;
    auto set = [](QAction *action, bool enabled) {
        if (action->isEnabled() != enabled)
            action->setEnabled(enabled);
    };
    set(W.actSearch, window);
    set(W.actReplace, window);
    const bool findText = window && !fidFind->FindText().isEmpty();
    set(W.actSearchNext, findText);
    set(W.actSearchPrior, findText);
    set(W.actCodeFormat, window && idle);
    set(W.actKirdaToCode, window && idle);
    mnuExamples->setEnabled(idle && !mnuExamples->isEmpty());

    if (QWidget *panel = FocusedPanel()) {
        set(W.actCopy, Run.Panels()->HasSelection(panel));
        for (QAction *action : {W.actUndo, W.actRedo, W.actCut, W.actPaste})
            set(action, false);
    } else if (!idle) {
        // The document is read-only while a run goes on.
        for (QAction *action : {W.actUndo, W.actRedo, W.actCut, W.actPaste})
            set(action, false);
    }
}
