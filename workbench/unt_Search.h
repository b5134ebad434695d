#pragma once
// Find and replace: the two non-modal dialogs the main window owns for all documents
// (`fidFind`, `rpdReplace`) and the search functions they drive on an editor.
//
// The dialogs only collect what the user wants and say which button was pressed; the main
// window applies it to the active document with the functions at the end.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QsciScintilla;

struct TSearchOptions {
    bool Forward = true;
    bool MatchCase = false;
    bool WholeWords = false;
};

// The part both dialogs share: find text, whole words, match case, direction.
class TSearchDialog : public QDialog {
    Q_OBJECT
public:
    QString FindText() const;
    void SetFindText(const QString &text);
    TSearchOptions Options() const;
    void SetOptions(const TSearchOptions &options);

    QLineEdit *edtFindText;
    QCheckBox *chbWholeWords;
    QCheckBox *chbMatchCase;
    QRadioButton *rbtUp;
    QRadioButton *rbtDown;
    QPushButton *btnFindNext;
    QPushButton *btnCancel;

signals:
    void FindNext();

protected:
    TSearchDialog(QWidget *parent, const QString &name, const QString &title);
    void showEvent(QShowEvent *event) override;
    // Finishes the layout with the given extra rows and buttons.
    void BuildLayout(QWidget *extraRows, const QList<QPushButton *> &extraButtons);
};

class TFindDialog : public TSearchDialog {
    Q_OBJECT
public:
    explicit TFindDialog(QWidget *parent = nullptr);
};

class TReplaceDialog : public TSearchDialog {
    Q_OBJECT
public:
    explicit TReplaceDialog(QWidget *parent = nullptr);
    QString ReplaceText() const;
    void SetReplaceText(const QString &text);

    QLineEdit *edtReplaceText;
    QPushButton *btnReplace;
    QPushButton *btnReplaceAll;

signals:
    void Replace();
    void ReplaceAll();
};

// Searches from the selection (forward from its end, backward from its start) and selects
// the match. False, with the selection unchanged, when there is none; it does not wrap.
bool SearchText(QsciScintilla *editor, const QString &text, const TSearchOptions &options);

// When the selection is a match, replaces it; then selects the next match. True when
// something was replaced.
bool ReplaceText(QsciScintilla *editor, const QString &text, const QString &replacement,
                 const TSearchOptions &options);

// Replaces every match in the whole document as one undo step; returns the count.
int ReplaceAllText(QsciScintilla *editor, const QString &text, const QString &replacement,
                   const TSearchOptions &options);
