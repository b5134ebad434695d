#pragma once
// A main window with one document, a prompter that answers from the test, and waiting for
// the run's events without sleeping: the loop blocks until the next event arrives, and every
// status change of a run arrives as one.

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCoreApplication>
#include <QLabel>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "frm_Algorithms.h"
#include "frm_AlgorithmsEdit.h"
#include "frm_AlgorithmsRun.h"
#include "frm_Editor.h"
#include "frm_RunPanels.h"
#include "unt_Prompts.h"

class TTestPrompter : public TPrompter {
public:
    // Return false for Cancel; may change `value`.
    std::function<bool(const QString &caption, const QString &label, QString &value)> OnRead;
    QMessageBox::StandardButton Answer = QMessageBox::No;
    QStringList Questions, Errors, ErrorCaptions, ReadLabels;

    QMessageBox::StandardButton Question(QWidget *, const QString &caption, const QString &,
                                         QMessageBox::StandardButtons, QMessageBox::StandardButton) override {
        Questions << caption;
        return Answer;
    }
    void Information(QWidget *, const QString &, const QString &) override {}
    void Error(QWidget *, const QString &caption, const QString &text) override {
        ErrorCaptions << caption;
        Errors << text;
    }
    bool ReadValue(QWidget *, const QString &caption, const QString &label, QString &value) override {
        ReadLabels << label;
        return OnRead ? OnRead(caption, label, value) : false;
    }
    QStringList ChooseFiles(QFileDialog *) override { return {}; }
};

class WorkbenchTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetPrompter(&Prompts);
        W = std::make_unique<TfrmAlgorithms>();
        Run = W->AlgorithmsRun;
        Edit = W->AlgorithmsEdit;
        ASSERT_NE(Run, nullptr);
        ASSERT_NE(Edit, nullptr);
        // Shown as the program shows it: the first show opens a new document.
        W->show();
        Doc = W->ActiveEditor();
        ASSERT_NE(Doc, nullptr);
    }
    void TearDown() override {
        W.reset();
        SetPrompter(nullptr);
    }

    TRunPanels &Panels() { return *Run->Panels(); }

    void UpdateActions() { W->UpdateActions(); }

    // Runs the action as a key or menu click would: only when its rule enables it.
    bool Trigger(QAction *action) {
        UpdateActions();
        if (!action->isEnabled())
            return false;
        StatusEventsBefore = Run->StatusEvents();
        action->trigger();
        return true;
    }

    // Waits for the status that follows the last triggered action.
    void WaitFor(TRunStatus status) {
        while (Run->StatusEvents() == StatusEventsBefore || Run->ShownStatus() != status ||
               Run->EffectiveStatus() != status)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        UpdateActions();
    }

    QString Output() { return Panels().memOutput->toPlainText(); }

    QStringList Errors() {
        QStringList lines;
        for (int i = 0; i < Panels().lboErrors->count(); ++i)
            lines << Panels().lboErrors->item(i)->text();
        return lines;
    }

    QString Variable(const QString &name) {
        QTableWidget *grid = Panels().grdVariables;
        for (int r = 0; r < grid->rowCount(); ++r)
            if (grid->item(r, 0)->text() == name)
                return grid->item(r, 1)->text();
        return QStringLiteral("<none>");
    }

    TTestPrompter Prompts;
    std::unique_ptr<TfrmAlgorithms> W;
    TAlgorithmsRun *Run = nullptr;
    TAlgorithmsEdit *Edit = nullptr;
    TfrmEditor *Doc = nullptr;
    int StatusEventsBefore = 0;
};
