#include "appicon.h"
#include "basesettings.h"
#include "commandlineopen.h"
#include "mdifrmmain.h"
#include "messages.h"
#include "programfolder.h"
#include "promptsink.h"

#include <QApplication>
#include <QCommandLineParser>

#include <csignal>

int main(int argc, char *argv[])
{
    // Past a file-size limit (ulimit -f) a write should fail with EFBIG and be reported like
    // any failed write, not end the program by SIGXFSZ with a half-done job.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    // No display name: the platform would append it to every title ("Vantrel V2.0 — Vantrel").
    QApplication::setApplicationVersion(QStringLiteral("2.0"));
    QApplication::setDesktopFileName(QStringLiteral("vantrel"));
    QApplication::setWindowIcon(vantrelIcon());

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Composes pages for tri-colour LED signs and sends them to the sign."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
        QStringLiteral("A page (.rtf, .txt, .bmp, .jpg, .gif) or show (.vshow) to open."),
        QStringLiteral("[FILE...]"));
    parser.process(app);

    // Installed, the first start makes the user's program folder before the settings load.
    const ProgramFolderSetup folder = prepareProgramFolder();

    MDIFrmMain window;
    window.startUp();
    window.show();
    if (!folder.ok()) {
        const QString &language = baseSettings().Language;
        window.prompts().inform(
            folder.message(language), PromptTitle(language), PromptIcon::Exclamation);
    }
    CommandLineOpen::open(window, parser.positionalArguments());
    return QApplication::exec();
}
