// libFuzzer target for the RTF reader: any input must read without crashing, hanging or
// leaking, and what the writer makes of the result must read back to the same text.
#include "rtfreader.h"
#include "rtfwriter.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input
        = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument document;
    const RtfReadResult result = RtfReader::read(input, &document);
    if (!result.ok)
        return 0;

    const QByteArray rtf = RtfWriter::write(document);
    QTextDocument again;
    const RtfReadResult second = RtfReader::read(rtf, &again);
    if (!second.ok) {
        fprintf(stderr, "written RTF does not read: %s\n", qPrintable(second.error));
        abort();
    }
    if (again.toPlainText() != document.toPlainText()) {
        fprintf(stderr, "round trip changed the text\n--- read:\n%s\n--- again:\n%s\n",
            qPrintable(document.toPlainText()), qPrintable(again.toPlainText()));
        abort();
    }
    return 0;
}
