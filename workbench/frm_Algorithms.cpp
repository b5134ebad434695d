// The main window's frame: creation in start-up order, the language, the first show, the
// close and shutdown order, the status bar's run-state light and keyboard panel, dropped
// files, and the guard that keeps exceptions out of the event loop.
#include "frm_Algorithms.h"

#include <dlfcn.h>

#include <QAbstractEventDispatcher>
#include <QCloseEvent>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPainter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QUrl>
#include <QVBoxLayout>

#include <Qsci/qsciscintilla.h>

#include "frm_AlgorithmsEdit.h"
#include "frm_AlgorithmsRun.h"
#include "unt_Accessibility.h"
#include "unt_Highlighter.h"
#include "unt_Localization.h"
#include "unt_Prompts.h"
#include "vlm_Encoding.h"

namespace {

const char *const AlgorithmFilter = "Velmora (*.vlm)|*.vlm|Textové soubory (*.txt)|*.txt|Všechny soubory|*.*";

void SetTextIfChanged(QLabel *label, const QString &text) {
    if (label->text() != text)
        label->setText(text);
}

// Caps, Num and Scroll Lock as the X server's keyboard indicators tell them. libX11 is
// looked up only when the xcb platform has already loaded it, so no other platform (nor
// the offscreen one of the tests) needs it; there the panel shows the insert mode alone.
bool KeyboardIndicators(unsigned &state) {
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->display())
        return false;
    using TGetIndicatorState = int (*)(Display *, unsigned, unsigned *);
    static TGetIndicatorState getState = [] {
        void *lib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
        return lib ? reinterpret_cast<TGetIndicatorState>(dlsym(lib, "XkbGetIndicatorState")) : nullptr;
    }();
    constexpr unsigned XkbUseCoreKbd = 0x0100;
    return getState && getState(x11->display(), XkbUseCoreKbd, &state) == 0;
}

QPixmap RunStateLight(const QColor &color) {
    QPixmap pixmap(14, 14);
    pixmap.fill(Qt::transparent);
    if (color.isValid()) {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(color.darker(160));
        painter.setBrush(color);
        painter.drawEllipse(QRectF(1.5, 1.5, 11, 11));
    }
    return pixmap;
}

}  // namespace

// ---- Creation ----------------------------------------------------------------------------

TfrmAlgorithms::TfrmAlgorithms(QWidget *parent) : QMainWindow(parent) {
    // The message table first: everything below may look up texts.
    MessageTable().clear();
    LoadDefaultMessages();

    setObjectName(QStringLiteral("frmAlgorithms"));
    setWindowTitle(QStringLiteral("Velmora"));
    setAcceptDrops(true);

    susKirda = new TSyntaxRules(TSyntaxRules::rkScreen, this);
    susPrint = new TSyntaxRules(TSyntaxRules::rkPrint, this);

    CreateDocumentArea();
    CreateDocks();
    CreateStatusBar();
    CreateFileDialogs();
    CreateActions();
    CreateMenus();
    CreateToolBars();
    AlgorithmsRun = new TAlgorithmsRun(*this);
    AlgorithmsEdit = new TAlgorithmsEdit(*this, *AlgorithmsRun);

    // Without a settings file this is a first start: the pseudocode words come from the
    // language's file. A broken file must not stop the program from starting.
    Guarded([this] { algAlgorithm.KeyWords().LoadFromLanguageFile(LanguageFileName().toStdString()); });

    ApplyLanguage();
    RefreshKeyWordLists();
    UpdateRunStatePanel();
    UpdateActions();

    // Enabling rules and the keyboard panel follow the state whenever the application is idle.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &TfrmAlgorithms::UpdateActions);
    setWindowState(windowState() | Qt::WindowMaximized);
}

TfrmAlgorithms::~TfrmAlgorithms() {
    disconnect(QAbstractEventDispatcher::instance(), nullptr, this, nullptr);
    // No event of a run may reach the window from here on.
    AlgorithmsRun->Shutdown();
    // The documents go first, while everything they report to still exists.
    for (TfrmEditor *editor : FEditors)
        disconnect(editor, nullptr, this, nullptr);
    FEditors.clear();
    FActiveEditor = nullptr;
    delete mdiDocuments;
    mdiDocuments = nullptr;
    algAlgorithm.Stop();
}

void TfrmAlgorithms::CreateDocumentArea() {
    auto *documents = new QWidget(this);
    auto *layout = new QVBoxLayout(documents);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    tabWindows = new QTabBar(documents);
    tabWindows->setObjectName(QStringLiteral("tabWindows"));
    tabWindows->setDocumentMode(true);
    tabWindows->setExpanding(false);
    tabWindows->setUsesScrollButtons(true);
    SetAccessibleElementName(tabWindows);
    connect(tabWindows, &QTabBar::currentChanged, this, [this](int index) { tabWindowsChange(index); });

    mdiDocuments = new QMdiArea(documents);
    mdiDocuments->setObjectName(QStringLiteral("mdiDocuments"));
    mdiDocuments->setViewMode(QMdiArea::SubWindowView);
    mdiDocuments->setActivationOrder(QMdiArea::CreationOrder);
    SetAccessibleElementName(mdiDocuments);
    connect(mdiDocuments, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *sub) {
        if (auto *editor = sub ? qobject_cast<TfrmEditor *>(sub->widget()) : nullptr)
            Guarded([&] { EditorActivated(editor); });
    });

    layout->addWidget(tabWindows);
    layout->addWidget(mdiDocuments, 1);
    setCentralWidget(documents);
}

void TfrmAlgorithms::CreateDocks() {
    setDockOptions(AnimatedDocks | AllowNestedDocks | AllowTabbedDocks);
    // Empty panels for now: the run panels put their widgets in.
    auto makeDock = [this](const char *name, const QString &caption, Qt::DockWidgetArea area) {
        auto *dock = new QDockWidget(caption, this);
        dock->setObjectName(QString::fromLatin1(name));
        dock->setWidget(new QWidget(dock));
        addDockWidget(area, dock);
        return dock;
    };
    dcpOutput = makeDock("dcpOutput", QStringLiteral("Výstup"), Qt::BottomDockWidgetArea);
    dcpErrors = makeDock("dcpErrors", QStringLiteral("Chyby"), Qt::BottomDockWidgetArea);
    dcpVariables = makeDock("dcpVariables", QStringLiteral("Proměnné"), Qt::RightDockWidgetArea);
    dcpArrays = makeDock("dcpArrays", QStringLiteral("Pole"), Qt::RightDockWidgetArea);
    splitDockWidget(dcpOutput, dcpErrors, Qt::Horizontal);
    splitDockWidget(dcpVariables, dcpArrays, Qt::Vertical);
}

void TfrmAlgorithms::CreateStatusBar() {
    stbMain = new QStatusBar(this);
    stbMain->setObjectName(QStringLiteral("stbMain"));
    stbMain->setSizeGripEnabled(true);
    setStatusBar(stbMain);

    auto makePanel = [this](const char *name, int minimumWidth, Qt::Alignment alignment) {
        auto *panel = new QLabel(stbMain);
        panel->setObjectName(QString::fromLatin1(name));
        panel->setMinimumWidth(minimumWidth);
        panel->setAlignment(alignment | Qt::AlignVCenter);
        SetAccessibleElementName(panel);
        return panel;
    };
    pnlRunState = makePanel("pnlRunState", 20, Qt::AlignHCenter);
    pnlCaret = makePanel("pnlCaret", 60, Qt::AlignHCenter);
    pnlModified = makePanel("pnlModified", 60, Qt::AlignHCenter);
    pnlHint = makePanel("pnlHint", 0, Qt::AlignLeft);
    pnlKeyboard = makePanel("pnlKeyboard", 0, Qt::AlignHCenter);
    pnlCaret->setText(QStringLiteral("1 : 1"));
    // A long hint must not widen the window.
    pnlHint->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    stbMain->addWidget(pnlRunState);
    stbMain->addWidget(pnlCaret);
    stbMain->addWidget(pnlModified);
    stbMain->addWidget(pnlHint, 1);
    stbMain->addPermanentWidget(pnlKeyboard);
}

void TfrmAlgorithms::CreateFileDialogs() {
    opdFile = new QFileDialog(this);
    opdFile->setObjectName(QStringLiteral("opdFile"));
    opdFile->setWindowTitle(QStringLiteral("Otevřít algoritmus..."));
    opdFile->setNameFilters(FilterToNameFilters(QString::fromUtf8(AlgorithmFilter)));
    opdFile->setDefaultSuffix(QStringLiteral("vlm"));
    opdFile->setAcceptMode(QFileDialog::AcceptOpen);
    opdFile->setFileMode(QFileDialog::ExistingFile);
}

// ---- Language ----------------------------------------------------------------------------

QString TfrmAlgorithms::LanguageFileName() const { return ::LanguageFileName(Language, ProgramDir); }

void TfrmAlgorithms::ApplyLanguage() {
    const QString fileName = LanguageFileName();
    LoadToolkitTexts(fileName);
    LoadQtTranslations(fileName);
    LoadMessages(fileName);
    TranslateForm(this, fileName, false);
    UpdateTranslateCaption();
    ShowShortcutsInHints();
    UpdateModifiedPanel();
    Guarded([&] { algAlgorithm.LoadErrorTexts(fileName.toStdString()); });
}

// ---- Show and close ----------------------------------------------------------------------

void TfrmAlgorithms::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (FShown)
        return;
    FShown = true;
    Guarded([this] { FormShow(); });
}

void TfrmAlgorithms::FormShow() {
    const QString fileName = CommandLineFileName();
    if (fileName.isEmpty() || !OpenAlgorithm(fileName))
        actNewExecute();
}

void TfrmAlgorithms::closeEvent(QCloseEvent *event) {
    bool close = false;
    Guarded([&] {
        // A check in progress lets events through; it ends before any document goes. A run
        // is left alone: refusing to close must not end it, and closing its document ends it.
        if (!IsIdle() && algAlgorithm.Mode() == mdControl)
            algAlgorithm.Stop();
        if (!CloseAllEditors())
            return;
        // The settings file is written here once it exists.
        AlgorithmsRun->Shutdown();
        close = true;
    });
    if (close)
        event->accept();
    else
        event->ignore();
}

// ---- Events ------------------------------------------------------------------------------

bool TfrmAlgorithms::event(QEvent *event) {
    // Hints go to their own panel; the status bar's message line would cover the others.
    if (event->type() == QEvent::StatusTip) {
        SetTextIfChanged(pnlHint, static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

QStringList TfrmAlgorithms::DroppedAlgorithmFiles(const QMimeData *data) {
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls()) {
        QFileInfo info(url.toLocalFile());
        if (url.isLocalFile() && info.isFile() && info.suffix().compare(QLatin1String("vlm"), Qt::CaseInsensitive) == 0)
            files.append(info.absoluteFilePath());
    }
    return files;
}

void TfrmAlgorithms::OpenDroppedFiles(const QStringList &files) {
    if (!IsIdle())
        return;
    for (const QString &file : files)
        Guarded([&] { OpenAlgorithm(file); });
}

void TfrmAlgorithms::dragEnterEvent(QDragEnterEvent *event) {
    if (IsIdle() && !DroppedAlgorithmFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TfrmAlgorithms::dropEvent(QDropEvent *event) {
    QStringList files = DroppedAlgorithmFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    OpenDroppedFiles(files);
}

bool TfrmAlgorithms::eventFilter(QObject *watched, QEvent *event) {
    // An editor would insert a dropped file's name as text; an algorithm file opens instead.
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (!DroppedAlgorithmFiles(drag->mimeData()).isEmpty()) {
            if (IsIdle())
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        break;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        QStringList files = DroppedAlgorithmFiles(drop->mimeData());
        if (!files.isEmpty()) {
            drop->acceptProposedAction();
            OpenDroppedFiles(files);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- Status bar: run state and keyboard --------------------------------------------------

bool TfrmAlgorithms::IsIdle() const { return algAlgorithm.Status() == rsIdle; }

void TfrmAlgorithms::UpdateRunStatePanel() {
    QColor color;
    QString state = QStringLiteral("off");
    switch (algAlgorithm.Status()) {
    case rsIdle:
        break;
    case rsRunning:
        if (algAlgorithm.Mode() == mdControl) {
            color = QColor(128, 0, 128);
            state = QStringLiteral("checking");
        } else {
            color = QColor(0, 160, 0);
            state = QStringLiteral("running");
        }
        break;
    case rsPaused:
        color = QColor(255, 0, 0);
        state = QStringLiteral("paused");
        break;
    }
    if (pnlRunState->accessibleDescription() == state && !pnlRunState->pixmap().isNull())
        return;
    pnlRunState->setPixmap(RunStateLight(color));
    pnlRunState->setAccessibleDescription(state);
    pnlRunState->setToolTip(state);
}

void TfrmAlgorithms::UpdateKeyboardPanel() {
    QStringList parts;
    unsigned indicators = 0;
    if (KeyboardIndicators(indicators)) {
        // The core keyboard's first three indicators are Caps, Num and Scroll Lock.
        if (indicators & 1)
            parts << QStringLiteral("CAPS");
        if (indicators & 2)
            parts << QStringLiteral("NUM");
        if (indicators & 4)
            parts << QStringLiteral("SCRL");
    }
    if (TfrmEditor *editor = ActiveEditor())
        parts << (editor->sedEditor->overwriteMode() ? QStringLiteral("OVR") : QStringLiteral("INS"));
    SetTextIfChanged(pnlKeyboard, parts.join(u' '));
}

// ---- Errors ------------------------------------------------------------------------------

void TfrmAlgorithms::ShowException(const char *what) {
    // Messages of the core are Windows-1250, ours UTF-8.
    std::string text = what ? what : "";
    QString message = IsValidUtf8(text) ? QString::fromStdString(text) : QString::fromStdString(Cp1250ToUtf8(text));
    Prompter().Error(this, QGuiApplication::applicationDisplayName(), message);
}
