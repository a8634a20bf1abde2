// The vCard reader on any file content.

#include "common/vcard.h"
#include "fuzz.h"

#include <QByteArray>

VASTREL_FUZZ_TARGET {
    common::LeggiVCardDati(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
