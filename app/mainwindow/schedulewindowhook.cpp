#include "schedulewindowhook.h"

#include "filedialogs.h"
#include "mdifrmmain.h"
#include "schedulewindow.h"

#include "basesettings.h"

void openScheduleWindow(MDIFrmMain &window)
{
    MDIFrmMain *main = &window;
    ScheduleWindowServices services;
    services.prompts = [main]() -> PromptSink & { return main->prompts(); };
    services.openFileName
        = [main](const QString &title, const QString &filter, const QString &folder) {
              return main->fileDialogs().openFileName(title, filter, folder);
          };
    services.saveFileName
        = [main](const QString &title, const QString &filter, const QString &folder,
              const QString &initialName, const QString &suffix) {
              return main->fileDialogs().saveFileName(title, filter, folder, initialName, suffix);
          };
    services.language = [] { return baseSettings().Language; };
    ScheduleWindow::showFrom(main, services);
}
