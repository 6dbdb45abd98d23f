#include "valuenotice.h"

void noticeValueChanged(const QString &programFolder, const QString &name)
{
    Q_UNUSED(programFolder)
    Q_UNUSED(name)
}
