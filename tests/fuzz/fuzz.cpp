// SPDX-License-Identifier: GPL-3.0-or-later
// The libFuzzer target of one event-file reader: TIDRA_FUZZ_READER names its
// round-trip check (alarmsRoundTrip, timersRoundTrip, ...).
#include "tests/fuzz/RoundTrip.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("TZ", "Europe/Berlin", 1); // local date-times must meet daylight saving changes
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!td::fuzz::TIDRA_FUZZ_READER(bytes))
        abort();
    return 0;
}
