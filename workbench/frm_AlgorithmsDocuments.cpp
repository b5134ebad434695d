// The main window's documents: creating, opening, reopening, saving and closing document
// windows, their captions, the window list and the tab strip that follow them, the reactions
// to the windows' events, the vocabulary and appearance pushed into every window, and the
// caret and modified panels of the status bar.
#include "frm_Algorithms.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTabBar>
#include <QVariant>

#include <Qsci/qsciscintilla.h>

#include "unt_Highlighter.h"
#include "unt_Localization.h"

namespace {

// A file name shown as a menu entry: "&" would otherwise mark a mnemonic.
QString MenuText(const QString &text) {
    QString escaped = text;
    return escaped.replace(u'&', QLatin1String("&&"));
}

// Two names of one file: symbolic links and relative parts do not count.
bool SameFile(const QString &a, const QString &b) {
    if (a.isEmpty() || b.isEmpty())
        return false;
    QString canonicalA = QFileInfo(a).canonicalFilePath();
    QString canonicalB = QFileInfo(b).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == canonicalB;
}

} // namespace

// ---- New, open, reopen ----------------------------------------------------------------

TfrmEditor *TfrmAlgorithms::NewEditor() {
    auto *editor = new TfrmEditor;
    QMdiSubWindow *sub = mdiDocuments->addSubWindow(editor);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    editor->SetHighlighter(susKirda);

    connect(editor, &TfrmEditor::OnCaptionChange, this,
            [this](TfrmEditor *e) { Guarded([&] { EditorCaptionChange(e); }); });
    connect(editor, &TfrmEditor::OnSaved, this, [this](TfrmEditor *e) { Guarded([&] { EditorSaved(e); }); });
    connect(editor, &TfrmEditor::OnDestroyed, this,
            [this](TfrmEditor *e) { Guarded([&] { EditorDestroyed(e); }); });
    connect(editor, &TfrmEditor::OnModifiedChange, this,
            [this](TfrmEditor *e) { Guarded([&] { EditorModifiedChange(e); }); });
    connect(editor, &TfrmEditor::OnCaretMove, this,
            [this](TfrmEditor *e, TStatusChanges) { Guarded([&] { EditorCaretMove(e); }); });
    connect(editor, &TfrmEditor::OnActivated, this,
            [this](TfrmEditor *e) { Guarded([&] { EditorActivated(e); }); });
    // Dropped algorithm files open as documents instead of being inserted as text.
    editor->sedEditor->viewport()->installEventFilter(this);

    TranslateForm(editor, LanguageFileName(), true);

    // Listed before it is numbered: it takes part in the numbering with its designed caption.
    FEditors.append(editor);
    auto *item = new QAction(MenuText(editor->Caption()), mnuWindowList);
    item->setCheckable(true);
    connect(item, &QAction::triggered, this, [this, editor] {
        Guarded([&] {
            if (FEditors.contains(editor) && IsIdle())
                ShowEditor(editor);
        });
    });
    mnuWindowList->addAction(item);
    FWindowListItems.append(item);
    {
        QSignalBlocker block(tabWindows);
        tabWindows->addTab(editor->Caption());
    }
    // Set directly: a new document's number is no caption change to report.
    editor->setWindowTitle(NextAlgorithmCaption());
    tabWindows->setTabText(FEditors.size() - 1, editor->Caption());
    item->setText(MenuText(editor->Caption()));

    ApplyEditorSettings(editor);
    RefreshKeyWordLists();
    EditorActivated(editor);
    return editor;
}

void TfrmAlgorithms::ShowEditor(TfrmEditor *editor) {
    QMdiSubWindow *sub = SubWindowOf(editor);
    if (!sub)
        return;
    if (sub->isHidden())
        sub->showMaximized();
    else if (sub->isMinimized())
        sub->showNormal();
    mdiDocuments->setActiveSubWindow(sub);
    editor->sedEditor->setFocus();
    EditorActivated(editor);
}

bool TfrmAlgorithms::OpenAlgorithm(const QString &fileName) {
    QFileInfo info(fileName);
    if (!info.exists() || info.isDir())
        return false;
    // A second window on one file would lose one set of edits when both are saved.
    for (TfrmEditor *editor : std::as_const(FEditors)) {
        if (SameFile(editor->FileName, fileName)) {
            ShowEditor(editor);
            AddToReopenList(editor->FileName);
            return true;
        }
    }
    TfrmEditor *editor = NewEditor();
    editor->LoadFromFile(info.absoluteFilePath());
    AddToReopenList(editor->FileName);
    ShowEditor(editor);
    return true;
}

void TfrmAlgorithms::AddToReopenList(const QString &fileName) {
    if (fileName.isEmpty())
        return;
    for (qsizetype i = FReopenList.size() - 1; i >= 0; --i)
        if (FReopenList[i].compare(fileName, Qt::CaseInsensitive) == 0)
            FReopenList.removeAt(i);
    while (FReopenList.size() >= ReopenListLimit)
        FReopenList.removeLast();
    FReopenList.prepend(fileName);
    RebuildReopenMenu();
}

void TfrmAlgorithms::SetReopenList(const QStringList &list) {
    FReopenList.clear();
    // Oldest first, so the list ends up in the given order without duplicates.
    for (auto it = list.crbegin(); it != list.crend(); ++it)
        if (!it->isEmpty())
            AddToReopenList(*it);
    RebuildReopenMenu();
}

void TfrmAlgorithms::RebuildReopenMenu() {
    mnuReopen->clear();
    for (const QString &fileName : std::as_const(FReopenList)) {
        QAction *item = mnuReopen->addAction(MenuText(fileName));
        item->setData(fileName);
        connect(item, &QAction::triggered, this, [this, fileName] { ReopenItemClick(fileName); });
    }
}

void TfrmAlgorithms::ReopenItemClick(const QString &fileName) {
    Guarded([&] {
        if (IsIdle())
            OpenAlgorithm(fileName);
    });
}

QString TfrmAlgorithms::NextAlgorithmCaption() const {
    // Numbers are reused. A message text without a number gives the same caption every
    // time; trying one more number than there are windows keeps that from looping forever.
    QString caption;
    for (int n = 1; n <= FEditors.size() + 1; ++n) {
        caption = FormatMessage(QStringLiteral("AlgorithmCaption"), {n});
        bool taken = false;
        for (const TfrmEditor *editor : FEditors)
            if (editor->Caption() == caption) {
                taken = true;
                break;
            }
        if (!taken)
            return caption;
    }
    return caption;
}

QString TfrmAlgorithms::CommandLineFileName(const QStringList &arguments) {
    // Joined by blanks, so a path with blanks given without quotes comes back whole.
    QString name = arguments.join(u' ');
    if (name.size() > 2) {
        while (!name.isEmpty() && (name.front() == u'"' || name.front() == u' '))
            name.remove(0, 1);
        if (name.endsWith(u'"'))
            name.chop(1);
    }
    return name;
}

// ---- Save and close ---------------------------------------------------------------------

void TfrmAlgorithms::actSaveExecute(bool askForName) {
    if (TfrmEditor *editor = ActiveEditor())
        if (editor->Save(askForName))
            AddToReopenList(editor->FileName);
}

void TfrmAlgorithms::actCloseExecute() {
    if (TfrmEditor *editor = ActiveEditor())
        if (QMdiSubWindow *sub = SubWindowOf(editor))
            sub->close();
}

bool TfrmAlgorithms::CloseAllEditors() {
    while (!FEditors.isEmpty()) {
        const qsizetype count = FEditors.size();
        TfrmEditor *editor = FEditors.first();
        QMdiSubWindow *sub = SubWindowOf(editor);
        bool closed = sub ? sub->close() : editor->close();
        // Freed at once, so the next round sees the shorter list.
        if (closed || editor->CloseConfirmed) {
            if (sub)
                delete sub;
            else
                delete editor;
        }
        if (FEditors.size() >= count)
            return false;
    }
    return true;
}

// ---- The document windows' events ---------------------------------------------------------

void TfrmAlgorithms::EditorSaved(TfrmEditor *editor) {
    AddToReopenList(editor->FileName);
}

void TfrmAlgorithms::EditorCaptionChange(TfrmEditor *editor) {
    const qsizetype index = FEditors.indexOf(editor);
    if (index < 0)
        return;
    tabWindows->setTabText(int(index), editor->Caption());
    FWindowListItems[index]->setText(MenuText(editor->Caption()));
}

void TfrmAlgorithms::EditorDestroyed(TfrmEditor *editor) {
    const qsizetype index = FEditors.indexOf(editor);
    if (index < 0)
        return;
    FEditors.removeAt(index);
    delete FWindowListItems.takeAt(index);
    {
        QSignalBlocker block(tabWindows);
        tabWindows->removeTab(int(index));
    }
    if (FActiveEditor == editor)
        FActiveEditor = nullptr;
    // The next active window reports itself; until then the panels show no document.
    if (!ActiveEditor()) {
        UpdateCaretPanel();
        UpdateModifiedPanel();
    } else {
        EditorActivated(ActiveEditor());
    }
}

void TfrmAlgorithms::EditorModifiedChange(TfrmEditor *) {
    UpdateModifiedPanel();
}

void TfrmAlgorithms::EditorCaretMove(TfrmEditor *) {
    UpdateCaretPanel();
}

void TfrmAlgorithms::EditorActivated(TfrmEditor *editor) {
    if (!FEditors.contains(editor))
        return;
    FActiveEditor = editor;
    UpdateModifiedPanel();
    UpdateCaretPanel();
    const qsizetype index = FEditors.indexOf(editor);
    if (tabWindows->currentIndex() != index) {
        QSignalBlocker block(tabWindows);
        tabWindows->setCurrentIndex(int(index));
    }
    tabWindows->setEnabled(IsIdle());
    UpdateWindowListChecks();
}

// ---- Window list and tab strip ---------------------------------------------------------------

TfrmEditor *TfrmAlgorithms::ActiveEditor() const {
    if (FActiveEditor && FEditors.contains(FActiveEditor.data()))
        return FActiveEditor.data();
    if (QMdiSubWindow *sub = mdiDocuments ? mdiDocuments->currentSubWindow() : nullptr)
        if (auto *editor = qobject_cast<TfrmEditor *>(sub->widget()); editor && FEditors.contains(editor))
            return editor;
    return nullptr;
}

QMdiSubWindow *TfrmAlgorithms::SubWindowOf(const TfrmEditor *editor) const {
    return editor ? qobject_cast<QMdiSubWindow *>(editor->parentWidget()) : nullptr;
}

void TfrmAlgorithms::tabWindowsChange(int index) {
    Guarded([&] {
        if (index < 0 || index >= FEditors.size())
            return;
        // While an algorithm runs the document stays where it is.
        if (!IsIdle()) {
            QSignalBlocker block(tabWindows);
            tabWindows->setCurrentIndex(int(FEditors.indexOf(ActiveEditor())));
            return;
        }
        ShowEditor(FEditors[index]);
    });
}

void TfrmAlgorithms::UpdateWindowListChecks() {
    const TfrmEditor *active = ActiveEditor();
    for (qsizetype i = 0; i < FEditors.size(); ++i)
        FWindowListItems[i]->setChecked(FEditors[i] == active);
}

// ---- Status bar panels 1 and 2 ------------------------------------------------------------

void TfrmAlgorithms::UpdateCaretPanel() {
    const TfrmEditor *editor = ActiveEditor();
    QString text =
        editor ? QStringLiteral("%1 : %2").arg(editor->CaretLine()).arg(editor->CaretColumn()) : QString();
    if (pnlCaret->text() != text)
        pnlCaret->setText(text);
}

void TfrmAlgorithms::UpdateModifiedPanel() {
    const TfrmEditor *editor = ActiveEditor();
    QString text = editor && editor->Modified() ? GetMessageText(QStringLiteral("Changed")) : QString();
    if (pnlModified->text() != text)
        pnlModified->setText(text);
}

// ---- Vocabulary and appearance ------------------------------------------------------------

void TfrmAlgorithms::RefreshKeyWordLists() {
    TArrayOfString words;
    algAlgorithm.KeyWords().GetKeyWordList(words);
    susKirda->SetKeyWords(words);
    susKirda->Reset();
    for (TfrmEditor *editor : std::as_const(FEditors)) {
        editor->SetCompletionWords(words);
        editor->sedEditor->viewport()->update();
    }
    susPrint->SetKeyWords(words);
    susPrint->Reset();
    UpdateTranslateCaption();
}

void TfrmAlgorithms::UpdateTranslateCaption() {
    const bool pseudo = algAlgorithm.KeyWords().PseudoMode;
    actKirdaToCode->setText(
        GetMessageText(pseudo ? QStringLiteral("CzechToPasCaption") : QStringLiteral("PasToCzechCaption")));
    const QString hint =
        GetMessageText(pseudo ? QStringLiteral("CzechToPasHint") : QStringLiteral("PasToCzechHint"));
    actKirdaToCode->setToolTip(hint);
    actKirdaToCode->setStatusTip(hint);
}

void TfrmAlgorithms::ApplyEditorSettings(TfrmEditor *editor) {
    editor->SetLineColors(EditorSettings.LineColors);
    editor->SetEditorFont(EditorSettings.FontName, EditorSettings.FontSize);
    editor->SetSelectionColors(EditorSettings.SelectionForeground, EditorSettings.SelectionBackground);
    editor->SetShowLineNumbers(EditorSettings.ShowLineNumbers);
}

void TfrmAlgorithms::ApplyEditorSettingsToAll() {
    for (TfrmEditor *editor : std::as_const(FEditors)) {
        ApplyEditorSettings(editor);
        editor->sedEditor->viewport()->update();
    }
}
