#include "shellresources.h"

#include <QtGlobal>

void initShellResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(vantrel_shell);
        return true;
    }();
    Q_UNUSED(registered);
}
