#include "unt_Prompts.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>

QMessageBox::StandardButton TPrompter::Question(QWidget *parent, const QString &caption, const QString &text,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton) {
    return QMessageBox::question(parent, caption, text, buttons, defaultButton);
}

void TPrompter::Information(QWidget *parent, const QString &caption, const QString &text) {
    QMessageBox::information(parent, caption, text);
}

void TPrompter::Error(QWidget *parent, const QString &caption, const QString &text) {
    QMessageBox::critical(parent, caption, text);
}

bool TPrompter::ReadValue(QWidget *parent, const QString &caption, const QString &label, QString &value) {
    QInputDialog dialog(parent);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(label);
    dialog.setTextValue(value);
    // Wide enough for its caption, which the window manager would otherwise cut short (the
    // dialog's layout sizes it by its contents, so the edit box is widened).
    if (auto *edit = dialog.findChild<QLineEdit *>())
        edit->setMinimumWidth(qMax(260, dialog.fontMetrics().horizontalAdvance(caption) + 120));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    value = dialog.textValue();
    return true;
}

QStringList TPrompter::ChooseFiles(QFileDialog *dialog) {
    if (dialog->exec() != QDialog::Accepted)
        return {};
    return dialog->selectedFiles();
}

namespace {
TPrompter DefaultPrompter;
TPrompter *CurrentPrompter = nullptr;
}  // namespace

TPrompter &Prompter() { return CurrentPrompter ? *CurrentPrompter : DefaultPrompter; }

void SetPrompter(TPrompter *prompter) { CurrentPrompter = prompter; }
