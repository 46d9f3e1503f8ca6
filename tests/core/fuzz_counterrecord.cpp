// libFuzzer target for the record reader: any bytes must either read as 22 values that obey
// the rules or be refused with a message; never crash, hang or trip a sanitizer.
#include "CounterRecord.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(
        reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const ReadResult result = ParseCounterRecord(bytes, QStringLiteral("bufor.txt"));
    if (result.ok()) {
        for (const std::int32_t value : result.values) {
            if (value < 0)
                __builtin_trap();
        }
        // A record that fits in 16-bit words must survive writing and reading back.
        CounterRecord record {};
        bool fits = true;
        for (int i = 0; i < RecordWords; ++i) {
            fits = fits && result.values[i] <= 0xffff;
            record[i] = static_cast<std::uint16_t>(result.values[i]);
        }
        if (fits && ParseCounterRecord(RecordFileBytes(record), QString()).values != result.values)
            __builtin_trap();
    } else if (result.failure() != Result::Invalid || result.message().isEmpty()) {
        __builtin_trap();
    }
    return 0;
}
