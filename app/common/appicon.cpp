#include "appicon.h"

QIcon vantrelIcon()
{
    return QIcon(QStringLiteral(":/vantrel/vantrel.svg"));
}
