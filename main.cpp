// The workbench's entry: the application's names, the picture lists, the main window (which
// fills the message table, applies the language and, once shown, opens the file named on the
// command line or a new document), and the message loop.
#include <QApplication>
#include <QMessageBox>

#include <exception>

#include "dtm_Images.h"
#include "frm_Algorithms.h"

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setOrganizationName(QStringLiteral("Velmora"));
    QApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
    try {
        // The picture lists first: every window takes its pictures from them.
        TdtmImages dtmImages;
        TfrmAlgorithms frmAlgorithms;
        frmAlgorithms.CommandLineArguments = QCoreApplication::arguments().mid(1);
        frmAlgorithms.show();
        return app.exec();
    } catch (const std::exception &e) {
        QMessageBox::critical(nullptr, QStringLiteral("Velmora"), QString::fromUtf8(e.what()));
        return 1;
    }
}
