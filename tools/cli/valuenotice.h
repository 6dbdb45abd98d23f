#pragma once

#include <QString>

// Tells whoever keeps the signs of `programFolder` current that value `name` has changed, so
// pages showing it are drawn again at once rather than at their next send. Nothing listens
// yet: without a listener a changed value shows at the next send, render or packet.
void noticeValueChanged(const QString &programFolder, const QString &name);
