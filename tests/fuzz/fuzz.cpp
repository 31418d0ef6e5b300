// SPDX-License-Identifier: GPL-3.0-or-later
// The libFuzzer target of one event-file reader: TIDRA_FUZZ_READER names the
// file (Alarms, Timers, WorkTimers, WorkSchedule); what it reads must read the
// same once written.
#include "tests/fuzz/RoundTrip.h"

#include <cstdint>
#include <cstdlib>

#define TIDRA_PASTE(a, b) a##b
#define TIDRA_JOIN(a, b) TIDRA_PASTE(a, b)

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("TZ", "Europe/Berlin", 1); // local date-times must meet daylight saving changes
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!td::fuzz::stable(bytes, td::events::TIDRA_JOIN(read, TIDRA_FUZZ_READER),
                          td::events::TIDRA_JOIN(format, TIDRA_FUZZ_READER)))
        abort();
    return 0;
}
