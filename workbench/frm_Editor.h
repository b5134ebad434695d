#pragma once
// The editor window: one algorithm document inside the main window's document area.
//
// Besides the text it keeps what the run panels mark in it: the lines that hold commands
// (from the last syntax check), the user's stop marks and the line where a run is paused.
// The stop-mark list is the truth; the gutter glyphs, line backgrounds and line text
// colours are redrawn from the lists after every change (QScintilla would move and merge
// markers by rules of its own). The window reports its life to the main window through six
// signals and knows nothing else of it.
//
// Lines are counted from 1 everywhere in this interface; columns count characters from 1,
// which equal the core's Windows-1250 bytes.

#include <QColor>
#include <QFlags>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <string>
#include <vector>

#include "unt_AlgorithmFile.h"
#include "vlm_Value.h"

class QFileDialog;
class QsciAPIs;
class QsciScintilla;
class TSyntaxRules;
class THighlightLexer;

// The six line colours of step "line colours": current line, stop line (stop mark on a
// command line), invalid stop line (stop mark on a line without command).
struct TLineColors {
    QColor ActiveLineForeground = QColor(255, 255, 255);
    QColor ActiveLineBackground = QColor(0, 0, 255);
    QColor StopLineForeground = QColor(255, 255, 255);
    QColor StopLineBackground = QColor(255, 0, 0);
    QColor InvalidStopLineForeground = QColor(255, 255, 255);
    QColor InvalidStopLineBackground = QColor(128, 128, 128);

    bool operator==(const TLineColors &) const = default;
};

// What a line shows, by the glyph table of the gutter.
enum TLineKind { lkNone, lkActive, lkActiveStop, lkCommand, lkStop, lkInvalidStop };

// The set of editor changes passed with OnCaretMove.
enum TStatusChange { scCaretX = 1, scCaretY = 2 };
Q_DECLARE_FLAGS(TStatusChanges, TStatusChange)
Q_DECLARE_OPERATORS_FOR_FLAGS(TStatusChanges)

class TfrmEditor : public QWidget {
    Q_OBJECT
public:
    // Caption "Algoritmus", the starting text, empty lists, no active line.
    explicit TfrmEditor(QWidget *parent = nullptr);
    ~TfrmEditor() override;  // emits OnDestroyed first

    // ---- Elements (object names as the language files know them) ----
    QsciScintilla *sedEditor = nullptr;
    QFileDialog *svdFile = nullptr;     // the save dialog, kept so a language file can set its texts
    QsciAPIs *scpCompleter = nullptr;   // the completion list (Ctrl+Space); a new object per SetCompletionWords

    // ---- Document ----
    QString FileName;                  // full path; empty for a document never saved
    TAlgorithmFileFormat FileFormat;   // encoding and line break for writing back
    bool Modified() const { return FModified; }
    bool CloseConfirmed = false;       // the close handler agreed to close

    static const QStringList &StartingLines();  // "{ }", "začátek", "", "konec"

    // False when the file does not exist (nothing changes); throws EFileError when it exists
    // but cannot be read (the window keeps its text).
    bool LoadFromFile(const QString &fileName);
    // Asks for a name when `askForName` or when the document has none (with the overwrite
    // question); writes; caption and modified flag follow. False when cancelled or failed
    // (a failure is shown through the prompter).
    bool Save(bool askForName);
    void SetCaption(const QString &caption);  // emits OnCaptionChange
    QString Caption() const { return windowTitle(); }
    // Emits OnModifiedChange on a change. Every text change sets it, undo included; marking
    // the editor's own text untouched (sedEditor->setModified(false)) clears it.
    void SetModified(bool modified);

    // The text as editor lines (UTF-8), and as the core sees it (Windows-1250 lines).
    QStringList Lines() const;
    void SetLines(const QStringList &lines);
    TArrayOfString CoreLines(std::vector<char32_t> *placeholders = nullptr) const;
    // Replaces the whole text with a core text (a translation or formatting result).
    void SetCoreText(const std::string &cp1250, const std::vector<char32_t> &placeholders = {});

    // ---- Caret ----
    int CaretLine() const;    // from 1
    int CaretColumn() const;  // from 1, in characters
    void SetCaret(int line, int column);
    void GotoLine(int line);  // column 1, line in the middle of the view, no selection

    // ---- Run marks ----
    const QStringList &CommandLines() const { return FCommandLines; }
    void SetCommandLines(const QStringList &lines);  // from a check; repaints
    const QStringList &StopMarks() const { return FStopMarks; }
    bool HasStopMark(int line) const;
    void ToggleStopMark(int line);
    int ActiveLine() const { return FActiveLine; }
    void SetActiveLine(int line);  // -1 for none
    TLineKind LineKind(int line) const;

    // ---- Appearance (the main window copies its settings in) ----
    void SetHighlighter(TSyntaxRules *rules);
    TSyntaxRules *Highlighter() const;
    THighlightLexer *Lexer() const { return FLexer; }
    void SetCompletionWords(const QStringList &words);  // UTF-8 words
    void SetCompletionWords(const TArrayOfString &cp1250Words);
    const TLineColors &LineColors() const { return FLineColors; }
    void SetLineColors(const TLineColors &colors);
    void SetEditorFont(const QString &name, int pointSize);  // an empty name keeps the font
    void SetSelectionColors(const QColor &foreground, const QColor &background);
    void SetShowLineNumbers(bool show);
    bool ShowLineNumbers() const { return FShowLineNumbers; }

    // Opens the completion list at the caret (what Ctrl+Space does).
    void ShowCompletion();

    // Called by the main window when it makes this window the active document (also done
    // by itself when it sits in a QMdiSubWindow that becomes active).
    void Activated();

signals:
    void OnSaved(TfrmEditor *sender);
    void OnCaptionChange(TfrmEditor *sender);
    void OnDestroyed(TfrmEditor *sender);
    void OnModifiedChange(TfrmEditor *sender);
    // Reported when the editor updates its view (as it does on screen after every move).
    void OnCaretMove(TfrmEditor *sender, TStatusChanges changes);
    void OnActivated(TfrmEditor *sender);

protected:
    // The save question. The window that holds this one (a QMdiSubWindow asks its widget
    // first) frees it when the close is accepted.
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    void sedEditorChange();
    void sedEditorModified(int position, int modificationType, int linesAdded);
    void sedEditorGutterClick(int margin, int line, Qt::KeyboardModifiers state);
    void sedEditorStatusChange(int line, int index);
    void ShiftStopMarks(int firstLine, int delta);
    void RedrawLineMarks();
    void UpdateMarginWidths();
    void UpdateCaretColor();
    void WatchSubWindow();
    bool AskForFileName();

    TSyntaxRules *FOwnRules = nullptr;  // the designed rules, used until SetHighlighter
    THighlightLexer *FLexer = nullptr;
    QStringList FCommandLines;
    QStringList FStopMarks;
    int FActiveLine = -1;
    bool FModified = false;
    bool FUndoRedo = false;  // the last text change was an undo or redo
    bool FShowLineNumbers = true;
    int FCaretLine = 0;
    int FCaretIndex = 0;
    TLineColors FLineColors;
    QObject *FWatchedSubWindow = nullptr;
};
