// Fuzzes the settings file's reader: whatever it accepts must write back to the very same
// bytes and read again to the same values; whatever it refuses leaves no values.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/shell/settings_codec.h"

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    quorvel::SettingValues values;
    if (!quorvel::DecodeSettings(data, size, &values)) {
        Require(values.empty());
        return 0;
    }
    for (const quorvel::SettingValue& value : values)
        Require(quorvel::SettingFits(value.name, value.data.size()));
    const std::vector<uint8_t> written = quorvel::EncodeSettings(values);
    Require(written == std::vector<uint8_t>(data, data + size));
    quorvel::SettingValues again;
    Require(quorvel::DecodeSettings(written.data(), written.size(), &again));
    Require(again.size() == values.size());
    for (size_t i = 0; i < values.size(); ++i)
        Require(again[i].name == values[i].name && again[i].type == values[i].type && again[i].data == values[i].data);
    return 0;
}
