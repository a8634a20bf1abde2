#pragma once

// libFuzzer entry points: each target feeds the bytes to one reader of the product as the
// text a user or a file would give it. An exception the reader documents is an answer; a
// crash, a hang, a sanitizer report or an undocumented exception is a finding.

#include <QString>
#include <cstddef>
#include <cstdint>

inline QString fuzzText(const uint8_t* data, size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
}

#define VASTREL_FUZZ_TARGET extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
