// The parser of options written into captions, with the framework's delimiters and with any
// others.
//
// Input: one byte; when it is odd, three NUL-terminated delimiters follow; the rest is the
// caption.

#include "FuzzEnvironment.h"
#include "FuzzInput.h"
#include <kivra/Options.h>

FUZZ_QUIET_INITIALIZE()

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    QStringList delimiters = kivra::inlineOptionDelimiters();
    if (input.takeByte() & 1) {
        delimiters = {input.takeText(), input.takeText(), input.takeText()};
        // Two delimiters are a form of their own: a key without a value.
        if (delimiters.last().isEmpty())
            delimiters.removeLast();
    }
    QString text = QString::fromUtf8(input.takeRest());
    const qsizetype sizeBefore = text.size();

    QVariantMap options;
    const bool found = kivra::parseInlineOptions(delimiters, text, options);

    FUZZ_CHECK(found == !options.isEmpty());
    FUZZ_CHECK(text.size() <= sizeBefore);
    for (auto it = options.cbegin(); it != options.cend(); ++it)
        FUZZ_CHECK(!it.key().isEmpty() && it.key() == it.key().trimmed());
    return 0;
}
