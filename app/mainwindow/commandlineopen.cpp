#include "commandlineopen.h"

#include "basesettings.h"
#include "localtext.h"
#include "mdifrmmain.h"
#include "messages.h"
#include "pagefilecommands.h"
#include "promptsink.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QStringList kPageSuffixes = { QStringLiteral("rtf"), QStringLiteral("txt"),
    QStringLiteral("bmp"), QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("gif") };
const QString kShowSuffix = QStringLiteral("vshow");

void tell(MDIFrmMain &window, const QString &text)
{
    const QString &language = baseSettings().Language;
    window.prompts().inform(text, PromptTitle(language), PromptIcon::Exclamation);
}

} // namespace

CommandLineOpen::Kind CommandLineOpen::kindOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (kPageSuffixes.contains(suffix))
        return Kind::Page;
    if (suffix == kShowSuffix)
        return Kind::Show;
    return Kind::Unknown;
}

int CommandLineOpen::open(MDIFrmMain &window, const QStringList &paths)
{
    const QString &language = baseSettings().Language;
    int opened = 0;
    bool defaultWindowUsed = false;
    for (const QString &given : paths) {
        // Window captions and the program list keep whole paths, whatever folder we started in.
        const QString path = QFileInfo(given).absoluteFilePath();
        switch (kindOf(path)) {
        case Kind::Page:
            if (window.pageCommands().openPageFileAt(path, defaultWindowUsed)) {
                defaultWindowUsed = true;
                ++opened;
            }
            break;
        case Kind::Show:
            if (openShow(window, path))
                ++opened;
            break;
        case Kind::Unknown:
            tell(window,
                localText(language,
                    QStringLiteral("Vantrel cannot open %1: it opens pages (.rtf, .txt, .bmp, "
                                   ".jpg, .gif) and shows (.vshow).")
                        .arg(QDir::toNativeSeparators(path)),
                    QStringLiteral("Vantrel 无法打开 %1：只能打开页面（.rtf、.txt、.bmp、.jpg、"
                                   ".gif）和节目单（.vshow）。")
                        .arg(QDir::toNativeSeparators(path))));
            break;
        }
    }
    return opened;
}

bool CommandLineOpen::openShow(MDIFrmMain &window, const QString &path)
{
    tell(window,
        localText(baseSettings().Language,
            QStringLiteral("%1 is a show file, and this version of Vantrel cannot open shows. "
                           "Open its pages one by one instead.")
                .arg(QDir::toNativeSeparators(path)),
            QStringLiteral("%1 是节目单文件，此版本的 Vantrel 无法打开节目单。请逐个打开其中的页面。")
                .arg(QDir::toNativeSeparators(path))));
    return false;
}
