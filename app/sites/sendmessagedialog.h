#pragma once

#include "sitetopics.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QSpinBox;

// "Send message...": the text, colour and seconds of a message for a site or for all sites.
class SendMessageDialog : public QDialog
{
    Q_OBJECT

public:
    // `target` names the site (or "All sites") in the title. Texts from the language file's
    // section `language` + "Sites" in `languageFolder`.
    SendMessageDialog(const QString &target, const QString &languageFolder, const QString &language,
        QWidget *parent = nullptr);

    SiteTopics::SayRequest request() const;

    QLineEdit *TxtMessage() const { return m_text; }
    QComboBox *CobColour() const { return m_colour; }
    QSpinBox *TxtSeconds() const { return m_seconds; }

private:
    QLineEdit *m_text;
    QComboBox *m_colour;
    QSpinBox *m_seconds;
};
