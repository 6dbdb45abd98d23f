#pragma once

#include <QString>

#include <chrono>

// The longest "value set" waits for a running agent to take the news.
constexpr std::chrono::milliseconds kValueNoticeWait { 500 };

// Tells the vantrel-agent of `programFolder`, when one runs, that value `name` has changed,
// so pages showing it are drawn again and sent at once. Without an agent nothing happens: the
// value shows at the next send, render or packet.
void noticeValueChanged(const QString &programFolder, const QString &name);
