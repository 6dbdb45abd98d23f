#include "messageshow.h"

#include "pagesampler.h"
#include "rowsource.h"

#include <QDir>

namespace {

// The one row of the message: entry "stay" (4), speed 3, time 0, repeat 1, no exit effect,
// the page as large as the sign.
constexpr int kStayEffect = 4;

// Hands the drawn message to the show send job whatever page it asks for.
class MessageSampler : public PageSampler
{
public:
    explicit MessageSampler(QImage canvas)
        : m_canvas(std::move(canvas))
    { }
    std::unique_ptr<PixelSource> samplePage(const QString &, qint16, qint16, QString *) override
    {
        return std::make_unique<ImagePixelSource>(m_canvas);
    }

private:
    QImage m_canvas;
};

} // namespace

bool parseMessageColour(const QString &text, QColor *colour)
{
    const QString name = text.trimmed().toLower();
    if (name == QLatin1String("red"))
        *colour = Page::ledRed();
    else if (name == QLatin1String("green"))
        *colour = Page::ledGreen();
    else if (name == QLatin1String("yellow"))
        *colour = Page::ledYellow();
    else
        return false;
    return true;
}

bool parseMessageAlignment(const QString &text, Qt::Alignment *alignment)
{
    const QString name = text.trimmed().toLower();
    if (name == QLatin1String("left"))
        *alignment = Qt::AlignLeft;
    else if (name == QLatin1String("centre") || name == QLatin1String("center"))
        *alignment = Qt::AlignHCenter;
    else if (name == QLatin1String("right"))
        *alignment = Qt::AlignRight;
    else
        return false;
    return true;
}

QString messageColourName(const QColor &colour)
{
    if (colour == Page::ledGreen())
        return QStringLiteral("green");
    if (colour == Page::ledYellow())
        return QStringLiteral("yellow");
    return QStringLiteral("red");
}

QString messageAlignmentName(Qt::Alignment alignment)
{
    if (alignment & Qt::AlignLeft)
        return QStringLiteral("left");
    if (alignment & Qt::AlignRight)
        return QStringLiteral("right");
    return QStringLiteral("centre");
}

ShowSendReport sendMessageShow(Link &link, const QImage &canvas, int widthModules,
    int heightModules, qint16 trance, const QString &language)
{
    ListRowSource rows;
    rows.appendRow({ QStringLiteral("1"), QString::number(kStayEffect), QStringLiteral("3"),
        QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("3"),
        QStringLiteral("0"), QStringLiteral("1"), QString::number(widthModules),
        QString::number(heightModules), QStringLiteral("say") });
    SendJobSettings settings;
    settings.ScreenWidth = qint16(widthModules);
    settings.ScreenHeight = qint16(heightModules);
    settings.PerPixel = 16;
    settings.Trance = trance;
    settings.pageFolder = QDir::currentPath();
    settings.Language = language;
    MessageSampler sampler(canvas);
    return ShowSendJob(link, sampler).run(rows, settings);
}
