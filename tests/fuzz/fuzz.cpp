// SPDX-License-Identifier: GPL-3.0-or-later
// The libFuzzer target of one event-file reader (TIDRA_FUZZ_READ and
// TIDRA_FUZZ_FORMAT name its functions): what it reads must read the same once
// written. smoke.sh runs it in a zone with daylight saving time.
#include "tests/fuzz/RoundTrip.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!td::fuzz::stable(bytes, td::events::TIDRA_FUZZ_READ, td::events::TIDRA_FUZZ_FORMAT))
        abort();
    return 0;
}
