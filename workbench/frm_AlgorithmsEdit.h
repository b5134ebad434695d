#pragma once
// The text commands of the main window: find and replace through the two non-modal
// dialogs, translation into the other vocabulary, the code formatter, the editing commands
// (which act on the focused run panel when one has the focus, else on the active
// document), and the File submenu of examples.

#include <QObject>
#include <QStringList>

class QAction;
class QMenu;
class QWidget;
class TAlgorithmsRun;
class TFindDialog;
class TfrmAlgorithms;
class TfrmEditor;
class TReplaceDialog;
class TSearchDialog;

class TAlgorithmsEdit : public QObject {
    Q_OBJECT
public:
    TAlgorithmsEdit(TfrmAlgorithms &window, TAlgorithmsRun &run);

    TFindDialog *fidFind = nullptr;
    TReplaceDialog *rpdReplace = nullptr;
    QMenu *mnuExamples = nullptr;

    void actSearchExecute();
    void actReplaceExecute();
    // F3 and Shift+F3: the find dialog's text and options, in the given direction.
    void actSearchNextExecute(bool forward);
    void actKirdaToCodeExecute();
    void actCodeFormatExecute();

    // The examples: *.vlm in "examples/" beside the program, else in
    // "../share/velmora/examples/"; sorted by name.
    static QString ExamplesFolder(const QString &programDir = QString());
    QStringList ExampleFiles() const;
    // Opens an example as a new, unsaved, unmodified document.
    TfrmEditor *OpenExample(const QString &fileName);

    // The run panel that has the focus (or null): the editing commands act on it.
    QWidget *FocusedPanel() const;

    // Enabling of the commands this class serves; called with the window's other rules.
    void UpdateActions();

private:
    void SearchDialogFind(TSearchDialog *dialog);
    void ReplaceDialogReplace(bool all);
    void ShowSearchDialog(TSearchDialog *dialog);
    void EditCommand(QAction *action);
    void RebuildExamplesMenu();
    // Puts the active document's text into the algorithm component, so a reported error
    // (an unclosed string) points at the right line.
    bool PrepareAlgorithmText(TfrmEditor *editor);
    template <class F> void Guarded(F &&command);

    TfrmAlgorithms &W;
    TAlgorithmsRun &Run;
};
