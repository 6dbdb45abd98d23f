#pragma once

#include <QDialog>
#include <QPixmap>

// The About box: program name, version, copyright and maker beside a picture, with OK.
// Shown without a modal loop; closed() tells the opener when it closes by any means (OK,
// Escape, the close box), so it can enable itself again.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr);

    // The seven lines joined by "\r\n": name, "", version, "", copyright, "", maker.
    static QString aboutText();

    // The line under it that says where this run keeps its settings and pages, in `language`:
    // the build's bin/ folder, or the user's data folder when installed.
    static QString programFolderText(const QString &folder, const QString &language);

    // The About picture, `side` pixels square: the program's icon when it ships one, else a
    // panel of LEDs in the sign's three colours.
    static QPixmap picture(int side);

signals:
    void closed();
};
