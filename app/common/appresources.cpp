#include "appresources.h"

#include <QtGlobal>

void initAppResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(vantrel_app);
        return true;
    }();
    Q_UNUSED(registered);
}
