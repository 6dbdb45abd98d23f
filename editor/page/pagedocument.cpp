#include "pagedocument.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QTextDocument>
#include <QTextFrame>

namespace Page {

namespace {
constexpr int kDotsPerMeter96Dpi = 3780; // 96 dpi: 12 pt is 16 pixels
constexpr char kDefaultFamily[] = "Times New Roman";
constexpr qreal kDefaultPointSize = 12;
} // namespace

QFont defaultFont()
{
    QFont font(QString::fromLatin1(kDefaultFamily));
    font.setPointSizeF(kDefaultPointSize);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferBitmap));
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setKerning(false);
    return font;
}

QPaintDevice *layoutDevice()
{
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(kDotsPerMeter96Dpi);
        image.setDotsPerMeterY(kDotsPerMeter96Dpi);
        return image;
    }();
    return &device;
}

void setUpDocument(QTextDocument *document)
{
    installFontSubstitutions();
    document->setDefaultFont(defaultFont());
    document->setDocumentMargin(0);
    QTextFrameFormat frame = document->rootFrame()->frameFormat();
    frame.setTopMargin(kTopMargin);
    frame.setLeftMargin(0);
    frame.setRightMargin(0);
    frame.setBottomMargin(0);
    frame.setPadding(0);
    frame.setBorder(0);
    document->rootFrame()->setFrameFormat(frame);
    document->documentLayout()->setPaintDevice(layoutDevice());
}

QString chineseFontFamily()
{
    return QStringLiteral("WenQuanYi Zen Hei Sharp");
}

void installFontSubstitutions()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    const QString chinese = chineseFontFamily();
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                               { QStringLiteral("Liberation Serif"), chinese });
    QFont::insertSubstitutions(QStringLiteral("Arial"), { QStringLiteral("Liberation Sans"), chinese });
    QFont::insertSubstitutions(QStringLiteral("Courier New"),
                               { QStringLiteral("Liberation Mono"), chinese });
    for (const QString &family :
         { QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("新宋体"),
           QStringLiteral("NSimSun"), QStringLiteral("黑体"), QStringLiteral("SimHei"),
           QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei"),
           QStringLiteral("楷体_GB2312"), QStringLiteral("仿宋_GB2312") })
        QFont::insertSubstitution(family, chinese);
}

QColor background(const QTextDocument &document)
{
    const QBrush brush = document.rootFrame()->frameFormat().background();
    if (brush.style() == Qt::NoBrush)
        return defaultBackground();
    return brush.color();
}

void setBackground(QTextDocument *document, const QColor &color)
{
    QTextFrameFormat frame = document->rootFrame()->frameFormat();
    frame.setBackground(color);
    document->rootFrame()->setFrameFormat(frame);
}

} // namespace Page
