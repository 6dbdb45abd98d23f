#include "frmabout.h"

#include "appresources.h"
#include "basesettings.h"
#include "localtext.h"
#include "programfolder.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <iterator>

namespace {

constexpr int kPictureSide = 64;
const QString kMaker = QStringLiteral("Vantrel Team");
constexpr int kCopyrightYear = 2026;

// A letter V on a 9 x 9 grid of LEDs: the left stroke red, the right green, the tip yellow
// (both elements lit), as the sign shows it.
const char *const kLedRows[] = {
    "R.......G",
    "R.......G",
    ".R.....G.",
    ".R.....G.",
    "..R...G..",
    "..R...G..",
    "...R.G...",
    "...YYY...",
    "....Y....",
};

QPixmap drawnPicture(int side)
{
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(24, 24, 24));
    painter.drawRoundedRect(QRectF(0, 0, side, side), side / 8.0, side / 8.0);

    const int cells = int(std::size(kLedRows));
    const qreal margin = side / 10.0;
    const qreal pitch = (side - 2 * margin) / cells;
    for (int row = 0; row < cells; ++row) {
        for (int col = 0; col < cells; ++col) {
            QColor colour(60, 20, 20); // an unlit LED
            switch (kLedRows[row][col]) {
            case 'R':
                colour = QColor(255, 0, 0);
                break;
            case 'G':
                colour = QColor(0, 255, 0);
                break;
            case 'Y':
                colour = QColor(255, 255, 0);
                break;
            default:
                break;
            }
            painter.setBrush(colour);
            const QPointF centre(margin + (col + 0.5) * pitch, margin + (row + 0.5) * pitch);
            painter.drawEllipse(centre, pitch * 0.38, pitch * 0.38);
        }
    }
    return pixmap;
}

} // namespace

frmAbout::frmAbout(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Vantrel V2.0..."));
    setModal(false);

    auto *picture = new QLabel;
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setPixmap(frmAbout::picture(kPictureSide));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto *text = new QLabel;
    text->setObjectName(QStringLiteral("Label1"));
    // The label breaks lines at "\n"; a "\r" would show as a stray glyph.
    text->setText(aboutText().replace(QLatin1String("\r\n"), QLatin1String("\n")));
    text->setTextFormat(Qt::PlainText);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *folder = new QLabel(programFolderText(programFolder(), baseSettings().Language));
    folder->setObjectName(QStringLiteral("LblProgramFolder"));
    folder->setTextFormat(Qt::PlainText);
    folder->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addWidget(text, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addWidget(folder);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(this, &QDialog::finished, this, &frmAbout::closed);
}

QString frmAbout::aboutText()
{
    const QStringList lines = {
        QStringLiteral("Vantrel V2.0"),
        QString(),
        QStringLiteral("版本 2.0.0.0"),
        QString(),
        QStringLiteral("Copyright (C) %1 %2").arg(kMaker).arg(kCopyrightYear),
        QString(),
        kMaker,
    };
    return lines.join(QLatin1String("\r\n"));
}

QString frmAbout::programFolderText(const QString &folder, const QString &language)
{
    const QString path = QDir::toNativeSeparators(folder);
    return localText(language, QStringLiteral("Settings and pages: %1").arg(path),
        QStringLiteral("设置和页面所在文件夹：%1").arg(path));
}

QPixmap frmAbout::picture(int side)
{
    initAppResources();
    const QString shipped = QStringLiteral(":/vantrel/about/vantrel.svg");
    if (QFile::exists(shipped)) {
        const QPixmap pixmap = QIcon(shipped).pixmap(side, side);
        if (!pixmap.isNull())
            return pixmap;
    }
    return drawnPicture(side);
}
