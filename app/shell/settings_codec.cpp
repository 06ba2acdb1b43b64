// Reading checks every length against what is left before using it, so no count or
// size taken from the file reaches an allocation unchecked.
#include "app/shell/settings_codec.h"

#include <algorithm>
#include <set>

#include "base/corvane_types.h"

namespace quorvel {

namespace {

constexpr uint8_t kMagic[4] = {'Q', 'V', 'S', 'T'};
constexpr uint32_t kLayout = 1;

class Reader {
public:
    Reader(const uint8_t* bytes, size_t size) : m_bytes(bytes), m_left(size) {}
    bool Take(size_t count, const uint8_t** out)
    {
        if (count > m_left)
            return false;
        *out = m_bytes;
        m_bytes += count;
        m_left -= count;
        return true;
    }
    bool U16(uint16_t* out)
    {
        const uint8_t* p = nullptr;
        return Take(2, &p) && ((*out = PTzReadLE16(p)), true);
    }
    bool U32(uint32_t* out)
    {
        const uint8_t* p = nullptr;
        return Take(4, &p) && ((*out = PTzReadLE32(p)), true);
    }
    bool AtEnd() const { return m_left == 0; }

private:
    const uint8_t* m_bytes;
    size_t m_left;
};

bool DecodeValue(Reader& in, SettingValue* value)
{
    uint16_t units = 0;
    const uint8_t* name = nullptr;
    uint32_t size = 0;
    const uint8_t* data = nullptr;
    if (!in.U16(&units) || !in.Take(size_t(units) * 2, &name) || !in.U32(&value->type) || !in.U32(&size) ||
        size > kSettingsMaxValueBytes || !in.Take(size, &data))
        return false;
    value->name.resize(units);
    for (size_t i = 0; i < units; ++i)
        value->name[i] = char16_t(PTzReadLE16(name + 2 * i));
    value->data.assign(data, data + size);
    return SettingFits(value->name, size);
}

void PutU16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

}  // namespace

bool SettingFits(std::u16string_view name, size_t bytes)
{
    return !name.empty() && name.size() <= kSettingsMaxNameUnits && name.find(u'\0') == name.npos &&
           bytes <= kSettingsMaxValueBytes;
}

bool DecodeSettings(const uint8_t* bytes, size_t size, SettingValues* values)
{
    values->clear();
    if (!bytes || size > kSettingsMaxFileBytes)
        return false;
    Reader in(bytes, size);
    const uint8_t* magic = nullptr;
    uint32_t layout = 0;
    uint32_t count = 0;
    if (!in.Take(4, &magic) || !std::equal(magic, magic + 4, kMagic) || !in.U32(&layout) || layout != kLayout ||
        !in.U32(&count) || count > kSettingsMaxValues)
        return false;
    SettingValues decoded;
    std::set<std::u16string> names;
    for (uint32_t i = 0; i < count; ++i) {
        SettingValue value;
        if (!DecodeValue(in, &value) || !names.insert(value.name).second)
            return false;
        decoded.push_back(std::move(value));
    }
    if (!in.AtEnd())
        return false;
    *values = std::move(decoded);
    return true;
}

std::vector<uint8_t> EncodeSettings(const SettingValues& values)
{
    std::vector<uint8_t> out(kMagic, kMagic + 4);
    PutU32(out, kLayout);
    PutU32(out, uint32_t(values.size()));
    for (const SettingValue& value : values) {
        PutU16(out, uint16_t(value.name.size()));
        for (char16_t unit : value.name)
            PutU16(out, uint16_t(unit));
        PutU32(out, value.type);
        PutU32(out, uint32_t(value.data.size()));
        out.insert(out.end(), value.data.begin(), value.data.end());
    }
    return out;
}

}  // namespace quorvel
