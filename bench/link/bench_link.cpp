// Time from starting "SendChar" to the sign's verdict, over loopback TCP and a pseudo-terminal
// to vantrel-sign, and the cost of refused targets in a list of ten.

#include "link.h"
#include "loopbacksign.h"
#include "pagesampler.h"
#include "progresssink.h"
#include "promptsink.h"
#include "rowsource.h"
#include "sendpicturejob.h"
#include "signprocess.h"
#include "testpages.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <csignal>
#include <functional>

namespace {

constexpr int kRuns = 15;
constexpr int kModulesWide = 34;
constexpr int kModulesHigh = 15;

class QuietPrompts : public PromptSink
{
public:
    void inform(const QString &, const QString &, PromptIcon) override { }
    bool confirm(const QString &, const QString &) override { return true; }
};

class QuietProgress : public ProgressSink
{
public:
    void setMaximum(int) override { }
    void setValue(int) override { }
    void setLabelText(const QString &) override { }
};

class FilePageSampler : public PageSampler
{
public:
    std::unique_ptr<PixelSource> samplePage(
        const QString &path, qint16, qint16, QString *error) override
    {
        QImageReader reader(path);
        const QImage image = reader.read();
        if (image.isNull()) {
            *error = reader.errorString();
            return nullptr;
        }
        return std::make_unique<ImagePixelSource>(image, 0, 2);
    }
};

struct Figures
{
    double median = 0;
    double minimum = 0;
    double maximum = 0;
    int failures = 0;
};

Figures measure(const std::function<bool()> &run)
{
    QList<double> ms;
    Figures f;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!run())
            ++f.failures;
        ms.append(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    f.median = ms.at(ms.size() / 2);
    f.minimum = ms.first();
    f.maximum = ms.last();
    return f;
}

void print(QTextStream &out, const QString &what, const Figures &f)
{
    out << qSetFieldWidth(58) << Qt::left << what << qSetFieldWidth(0)
        << QStringLiteral("median %1 ms  (min %2, max %3, %4 runs%5)")
               .arg(f.median, 0, 'f', 1)
               .arg(f.minimum, 0, 'f', 1)
               .arg(f.maximum, 0, 'f', 1)
               .arg(kRuns)
               .arg(f.failures ? QStringLiteral(", %1 not successful").arg(f.failures) : QString())
        << Qt::endl;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);

    QTemporaryDir folder;
    const QString pageName = QStringLiteral("page.png");
    TestPages::randomPage(kModulesWide * 16, kModulesHigh * 16, 1).save(folder.filePath(pageName));

    SignProcess sign;
    QString error;
    if (!sign.start({ "--pty" }, &error)) {
        out << "cannot start vantrel-sign: " << error << Qt::endl;
        return 1;
    }

    QuietPrompts prompts;
    QuietProgress progress;
    FilePageSampler sampler;
    Link link(&prompts);
    ListRowSource list;
    list.appendRow({ "1", "0", "3", "0", "1", "0", "3", "0", "1", QString::number(kModulesWide),
        QString::number(kModulesHigh), pageName });
    SendJobSettings settings;
    settings.ScreenWidth = kModulesWide;
    settings.ScreenHeight = kModulesHigh;
    settings.PerPixel = 16;
    settings.pageFolder = folder.path();
    settings.Language = QStringLiteral("English");

    const auto sendChar = [&](qint16 trance) {
        settings.Trance = trance;
        return SendPictureJob(link, prompts, progress, sampler).run(list, 1, settings).succeeded();
    };

    out << "SendChar of a " << kModulesWide << " x " << kModulesHigh
        << "-module page (32661-byte packet) to vantrel-sign, start to verdict:" << Qt::endl;
    link.setSettings(
        { sign.ptyPath(), QStringLiteral("115200,N,8,1"), sign.targetRow(), settings.Language });
    print(out, QStringLiteral("  loopback TCP, one target"), measure([&] { return sendChar(2); }));
    print(out, QStringLiteral("  pseudo-terminal (RS232 link)"),
        measure([&] { return sendChar(0); }));

    QStringList reachable;
    QStringList refused;
    for (int i = 0; i < 7; ++i)
        reachable.append(sign.targetRow());
    for (int i = 0; i < 3; ++i)
        refused.append(QStringLiteral("127.0.0.1,%1,1").arg(refusedPort()));
    QStringList mixed = reachable;
    mixed.insert(1, refused.at(0));
    mixed.insert(5, refused.at(1));
    mixed.append(refused.at(2));

    out << "SendChar to a list of targets over loopback TCP:" << Qt::endl;
    link.setSettings({ {}, {}, reachable.join(QLatin1Char(';')), settings.Language });
    const Figures seven = measure([&] { return sendChar(2); });
    print(out, QStringLiteral("  7 reachable targets"), seven);
    link.setSettings({ {}, {}, refused.join(QLatin1Char(';')), settings.Language });
    const Figures three = measure([&] {
        sendChar(2);
        return true;
    });
    print(out, QStringLiteral("  3 refusing targets"), three);
    link.setSettings({ {}, {}, mixed.join(QLatin1Char(';')), settings.Language });
    const Figures ten = measure([&] {
        sendChar(2);
        return true;
    });
    print(out, QStringLiteral("  10 targets, 3 of them refusing"), ten);
    out << QStringLiteral("  per reachable target %1 ms; the 3 refusals add %2 ms to the 7 "
                          "reachable (%3 ms on their own)")
               .arg(seven.median / 7, 0, 'f', 1)
               .arg(ten.median - seven.median, 0, 'f', 1)
               .arg(three.median, 0, 'f', 1)
        << Qt::endl;

    sign.stop(SIGTERM);
    return 0;
}
