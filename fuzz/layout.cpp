// The report viewer's layout reader on any file text.

#include "fuzz.h"
#include "viewer/errore.h"
#include "viewer/layout.h"

VASTREL_FUZZ_TARGET {
    try {
        stampa::leggiLayoutDaTesto(fuzzText(data, size), QStringLiteral("fuzz.txt"));
    } catch (const stampa::ErroreStampa&) {
    }
    return 0;
}
