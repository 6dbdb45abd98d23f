#include "languagecommands.h"

#include "effectpanel.h"
#include "mainmenus.h"

#include "languageswitch.h"
#include "programlist.h"

#include "basesettings.h"
#include "languagefile.h"
#include "localtext.h"
#include "programfolder.h"

#include <QAction>
#include <QDir>

LanguageCommands::LanguageCommands(QWidget *window, const MainMenus &menus, EffectPanel *effects,
    const ProgramList &list, std::function<void(const QString &)> note, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_effects(effects)
    , m_list(list)
    , m_note(std::move(note))
{
    connect(menus.english, &QAction::triggered, this,
        [this] { SetLanguage(QStringLiteral("English")); });
    connect(
        menus.chinese, &QAction::triggered, this, [this] { SetLanguage(chineseLanguageName()); });
    connect(menus.jap, &QAction::triggered, this, [this] { SetLanguage(QStringLiteral("jap")); });
}

void LanguageCommands::SetLanguage(const QString &name)
{
    // The language file replaces the effect selectors' items; they go on showing the current
    // row's effects (or what they showed), as rows store positions, not texts.
    EffectPanel::EffectChoice shown = m_effects->effectChoice();
    if (m_list.hasCurrentRow())
        shown = EffectPanel::effectChoiceOf(m_list.model()->rowTexts(m_list.CurrentRow));
    IniWriteFailure failure;
    LanguageSwitch(m_window).SetLanguage(name, &failure);
    m_effects->showEffectChoice(shown);
    emit languageChanged(baseSettings().Language);
    noteProblem(name, failure);
}

void LanguageCommands::noteProblem(const QString &name, const IniWriteFailure &failure)
{
    const QString &language = baseSettings().Language;
    const bool textsApplied = name == QLatin1String("English") || name == chineseLanguageName();
    if (textsApplied && !LanguageFileExists(languageFolder()))
        m_note(localText(language,
            QStringLiteral("Language.lng is missing from the program folder, so the interface "
                           "texts read \"Unknow\". Reinstall Vantrel to get it back."),
            QStringLiteral("程序文件夹中缺少 Language.lng，界面文字显示为“Unknow”。"
                           "请重新安装 Vantrel 以恢复该文件。")));
    else if (failure.kind != IniWriteFailure::Kind::None)
        m_note(localText(language,
            QStringLiteral("The language choice could not be stored in %1 (%2); it holds for "
                           "this session only.")
                .arg(QDir::toNativeSeparators(baseSettingsPath()),
                    iniWriteFailureReason(failure, language)),
            QStringLiteral("无法将语言选择保存到 %1（%2）；该选择仅在本次运行中有效。")
                .arg(QDir::toNativeSeparators(baseSettingsPath()),
                    iniWriteFailureReason(failure, language))));
}
