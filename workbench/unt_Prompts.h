#pragma once
// Every modal question the workbench asks goes through one prompter, so tests can answer
// it. The default prompter shows the real Qt dialogs; a test installs its own.

#include <QMessageBox>
#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

class TPrompter {
public:
    virtual ~TPrompter() = default;

    virtual QMessageBox::StandardButton Question(QWidget *parent, const QString &caption, const QString &text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton);
    virtual void Information(QWidget *parent, const QString &caption, const QString &text);
    virtual void Error(QWidget *parent, const QString &caption, const QString &text);
    // The one-line prompt of a read command: true with `value` changed on OK, false on Cancel.
    virtual bool ReadValue(QWidget *parent, const QString &caption, const QString &label, QString &value);
    // Runs a (persistent, named) file dialog; the chosen files, empty when cancelled.
    virtual QStringList ChooseFiles(QFileDialog *dialog);
};

// The prompter in use; SetPrompter(nullptr) goes back to the real dialogs.
TPrompter &Prompter();
void SetPrompter(TPrompter *prompter);
