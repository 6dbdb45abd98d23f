// libFuzzer target for the show file's text checks and the picture header checks: any input
// must be split or refused without crashing, hanging or reading past its end, and a refusal
// must name a line that exists.
#include "picturefile.h"
#include "showtext.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input
        = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QList<IniSection> sections;
    ShowText::Fault fault;
    if (!ShowText::parse(input, &sections, &fault)) {
        if (fault.line < 1 || fault.line > input.count('\n') + input.count('\r') + 1)
            std::abort();
    }
    // Each header check on the same bytes, whatever they begin with.
    Page::looksLikePicture(input);
    for (const char *format : { "png", "jpeg", "gif", "bmp" })
        Page::pictureDataComplete(input, format);
    return 0;
}
