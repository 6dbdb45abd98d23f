#pragma once

#include <QString>

// The numbered prompts, built in for English and Simplified Chinese. The language is the
// interface language name of the base settings ("English", "简体中文", "jap" or other);
// the comparison is exact and case-sensitive.

// Text of message `number` (1 to 13); "" outside that range and for languages other than
// English and Chinese.
QString MsgText(qint16 number, const QString &language);
QString MsgText(qint16 number); // in the current language of the base settings

// Title of every message box: "Information", "系统提示", "Information" for "jap", else "".
QString MsgTitle(const QString &language);
QString MsgTitle();

// What a prompt box shows: the catalogue's text and title, or the English ones when the
// language has no built-in prompts ("jap" or a name the catalogue does not know), so a box
// is never empty.
QString PromptText(qint16 number, const QString &language);
QString PromptTitle(const QString &language);

// Display name of a link kind: "RS232", "BlueTooth", "TCP/IP", or "None" for any other.
QString TranceStyleName(qint16 kind);

// How each numbered message is shown.
enum class PromptIcon { Information, Exclamation, Question, None };
PromptIcon MsgIcon(qint16 number);

// Message numbers, for call sites that would otherwise carry bare numbers.
namespace Msg {
constexpr qint16 SelectFileId = 1;
constexpr qint16 AddTheFile = 2;
constexpr qint16 SelectOneRow = 3;
constexpr qint16 ConfirmDelete = 4;
constexpr qint16 PortInitError = 5;
constexpr qint16 SetThePort = 6;
constexpr qint16 SetFailed = 7;
constexpr qint16 SetSucceeded = 8;
constexpr qint16 ConfirmClearScreen = 9;
constexpr qint16 FillInComplete = 10;
constexpr qint16 AlreadyInList = 11;
constexpr qint16 ListReachedMaximum = 12;
constexpr qint16 IpLinkError = 13;
} // namespace Msg
