#include "qttranslations.h"

#include "localtext.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace {

// qtbase holds the texts of the widgets' dialogs and of the platform's standard buttons.
const QString kCatalogue = QStringLiteral("qtbase_zh_CN");

} // namespace

bool useQtTranslationsFor(const QString &language)
{
    static QPointer<QTranslator> installed;
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return false;
    const bool chinese = language == chineseLanguageName();
    if (chinese && installed)
        return true;
    if (!chinese) {
        if (installed) {
            QCoreApplication::removeTranslator(installed);
            delete installed;
        }
        return true;
    }
    auto *translator = new QTranslator(app);
    if (!translator->load(kCatalogue, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}
