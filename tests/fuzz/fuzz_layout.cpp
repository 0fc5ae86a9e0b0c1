// The layout loader: any document is loaded or refused with a GeneralError naming the file and line,
// without a crash or undefined behaviour; an included fragment is the same document again.
#include "DocumentLoader.h"
#include "GeneralError.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray xml(reinterpret_cast<const char*>(data), qsizetype(size));
    report::DocumentLoader loader;
    loader.setFragmentResolver([&](const QString&) { return xml; });
    try {
        loader.load(xml, QStringLiteral("fuzz.xml"));
    } catch (const GeneralError&) {
    }
    return 0;
}
