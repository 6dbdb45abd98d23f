#include "signsetup.h"

#include "clipagesampler.h"
#include "editorsettings.h"
#include "link.h"
#include "localtext.h"
#include "pagepixels.h"
#include "promptsink.h"
#include "rowsource.h"
#include "showfile.h"
#include "showsendjob.h"
#include "tcptarget.h"

#include <QDir>
#include <QFileInfo>

namespace {

class SilentPrompts : public PromptSink
{
public:
    void inform(const QString &, const QString &, PromptIcon) override { }
    bool confirm(const QString &, const QString &) override { return false; }
};

} // namespace

SignSetup SignSetup::load(const QString &programFolder, QStringList *notes)
{
    SignSetup setup;
    setup.base = defaultBaseSettings();
    const QString path = QDir(programFolder).filePath(baseSettingsFileName());
    if (!QFileInfo(path).isFile()) {
        notes->append(
            localText(setup.base.Language,
                QStringLiteral("There is no %1; the sign is taken as %2 x %3 modules on the "
                               "built-in link."),
                QStringLiteral("没有 %1；显示屏按 %2 x %3 个模块、内置连接处理。"))
                .arg(QDir::toNativeSeparators(path), QString::number(setup.base.ScreenWidth),
                    QString::number(setup.base.ScreenHeight)));
        return setup;
    }
    const SettingsLoadReport report = LoadBaseSettings(setup.base, path);
    if (report.hasNews())
        notes->append(report.message(setup.base.Language));
    QString problem;
    const EditorSettings editor = LoadEditorSettings(path, setup.base.Language, &problem);
    if (!problem.isEmpty())
        notes->append(problem);
    setup.pictures
        = editor.ditherPictures ? Page::PictureMode::Dither : Page::PictureMode::Threshold;
    return setup;
}

SendJobSettings SignSetup::jobSettings(const QString &showPath, bool serial) const
{
    SendJobSettings s;
    s.ScreenWidth = base.ScreenWidth;
    s.ScreenHeight = base.ScreenHeight;
    s.PerPixel = perPixel();
    s.Trance = serial
        ? (base.Trance == TranceKind::kBlueTooth ? TranceKind::kBlueTooth : TranceKind::kRs232)
        : TranceKind::kTcpIp;
    s.pageFolder = QFileInfo(showPath).absolutePath();
    s.Language = base.Language;
    return s;
}

QList<AgentTarget> SignSetup::tickedTargets() const
{
    if (base.Trance == TranceKind::kRs232 || base.Trance == TranceKind::kBlueTooth)
        return { AgentTarget { base.CommPort.trimmed(), {} } };
    QList<AgentTarget> targets;
    if (base.Trance == TranceKind::kTcpIp) {
        for (const TcpTarget &t : TcpTarget::ticked(base.IpStr))
            targets.append({ t.address.trimmed(), t.port.trimmed() });
    }
    return targets;
}

QString SignSetup::showProblem(const QString &showPath) const
{
    const ShowFile::ReadResult show
        = ShowFile::read(showPath, QFileInfo(showPath).absolutePath(), base.Language);
    if (!show.ok)
        return show.message;
    ListRowSource rows;
    for (const QStringList &row : show.rows)
        rows.appendRow(row);
    SilentPrompts prompts;
    Link link(&prompts);
    CliPageSampler sampler(perPixel(), pictures);
    // A field that cannot be filled does not stop a send; the agent logs it once itself.
    sampler.setFieldContext(fieldContext);
    ShowPackets packets;
    QString refusal;
    if (!ShowSendJob(link, sampler).prepare(rows, jobSettings(showPath, false), &packets, &refusal))
        return refusal;
    return {};
}
