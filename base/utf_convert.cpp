// UTF-16 <-> UTF-8 conversion one code point at a time, refusing anything a lossless
// round trip could not reproduce.
#include "utf_convert.h"

#include <cstdint>

namespace corvane {

namespace {

bool isHighSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The lone low surrogate that carries an undecodable byte (always 0x80 or above: every
// byte below is ASCII), and back.
constexpr char32_t kEscapeBase = 0xDC00;
bool isEscape(char32_t u) { return u >= 0xDC80 && u <= 0xDCFF; }

// Bounded output that remembers whether anything failed to fit.
template <typename Unit>
class Output {
public:
    Output(Unit* out, size_t size) : m_out(out), m_size(size) {}
    bool put(Unit u)
    {
        // One slot always stays free for the terminator.
        if (m_used + 1 >= m_size)
            return false;
        m_out[m_used++] = u;
        return true;
    }
    std::basic_string_view<Unit> text() const { return {m_out, m_used}; }
    UtfResult finish(UtfResult result, size_t* written)
    {
        if (m_size == 0)
            result = UtfResult::NoRoom;
        else
            m_out[result == UtfResult::Ok ? m_used : 0] = 0;
        if (written)
            *written = result == UtfResult::Ok ? m_used : 0;
        return result;
    }

private:
    Unit* m_out;
    size_t m_size;
    size_t m_used = 0;
};

// Decodes one UTF-8 code point at in[i], advancing i; returns false on a malformed,
// overlong, surrogate or out-of-range sequence.
bool decodeUtf8(std::string_view in, size_t& i, char32_t& cp)
{
    const auto lead = uint8_t(in[i]);
    size_t extra;
    char32_t min;
    if (lead < 0x80) {
        cp = lead;
        ++i;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1, min = 0x80, cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, min = 0x800, cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, min = 0x10000, cp = lead & 0x07;
    } else {
        return false;
    }
    if (in.size() - i <= extra)
        return false;
    for (size_t k = 1; k <= extra; ++k) {
        const auto next = uint8_t(in[i + k]);
        if ((next & 0xC0) != 0x80)
            return false;
        cp = cp << 6 | (next & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || isHighSurrogate(cp) || isLowSurrogate(cp))
        return false;
    i += extra + 1;
    return true;
}

// One code point of in at i, or in Escape mode the escape of a byte that starts no
// valid sequence; false for a NUL or, in Refuse mode, for invalid UTF-8.
bool decodeNext(std::string_view in, size_t& i, char32_t& cp, UtfBytes bytes)
{
    if (in[i] == 0)
        return false;
    if (decodeUtf8(in, i, cp))
        return true;
    if (bytes == UtfBytes::Refuse)
        return false;
    cp = kEscapeBase + uint8_t(in[i++]);
    return true;
}

// Whether decoding the bytes gives back exactly the units: a run of escapes whose bytes
// happen to spell a character would come back as that character instead.
bool decodesTo(std::string_view bytes, std::u16string_view units)
{
    size_t k = 0;
    for (size_t i = 0; i < bytes.size();) {
        char32_t cp;
        if (!decodeNext(bytes, i, cp, UtfBytes::Escape))
            return false;
        if (cp < 0x10000) {
            if (k >= units.size() || units[k++] != cp)
                return false;
        } else {
            cp -= 0x10000;
            if (k + 1 >= units.size() || units[k] != 0xD800 + (cp >> 10) || units[k + 1] != 0xDC00 + (cp & 0x3FF))
                return false;
            k += 2;
        }
    }
    return k == units.size();
}

}  // namespace

UtfResult utf16ToUtf8(std::u16string_view in, char* out, size_t outSize, size_t* written, UtfBytes bytes)
{
    Output<char> output(out, outSize);
    bool escaped = false;
    for (size_t i = 0; i < in.size(); ++i) {
        char32_t cp = in[i];
        bool fits;
        if (bytes == UtfBytes::Escape && isEscape(cp)) {
            fits = output.put(char(cp - kEscapeBase));
            escaped = true;
            if (!fits)
                return output.finish(UtfResult::NoRoom, written);
            continue;
        }
        if (cp == 0 || isLowSurrogate(cp))
            return output.finish(UtfResult::Invalid, written);
        if (isHighSurrogate(cp)) {
            if (i + 1 >= in.size() || !isLowSurrogate(in[i + 1]))
                return output.finish(UtfResult::Invalid, written);
            cp = 0x10000 + ((cp - 0xD800) << 10) + (char32_t(in[++i]) - 0xDC00);
        }
        if (cp < 0x80) {
            fits = output.put(char(cp));
        } else if (cp < 0x800) {
            fits = output.put(char(0xC0 | cp >> 6)) && output.put(char(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            fits = output.put(char(0xE0 | cp >> 12)) && output.put(char(0x80 | (cp >> 6 & 0x3F))) &&
                   output.put(char(0x80 | (cp & 0x3F)));
        } else {
            fits = output.put(char(0xF0 | cp >> 18)) && output.put(char(0x80 | (cp >> 12 & 0x3F))) &&
                   output.put(char(0x80 | (cp >> 6 & 0x3F))) && output.put(char(0x80 | (cp & 0x3F)));
        }
        if (!fits)
            return output.finish(UtfResult::NoRoom, written);
    }
    if (escaped && !decodesTo(output.text(), in))
        return output.finish(UtfResult::Invalid, written);
    return output.finish(UtfResult::Ok, written);
}

UtfResult utf8ToUtf16(std::string_view in, char16_t* out, size_t outSize, size_t* written, UtfBytes bytes)
{
    Output<char16_t> output(out, outSize);
    for (size_t i = 0; i < in.size();) {
        char32_t cp;
        if (!decodeNext(in, i, cp, bytes))
            return output.finish(UtfResult::Invalid, written);
        bool fits;
        if (cp < 0x10000) {
            fits = output.put(char16_t(cp));
        } else {
            cp -= 0x10000;
            fits = output.put(char16_t(0xD800 + (cp >> 10))) && output.put(char16_t(0xDC00 + (cp & 0x3FF)));
        }
        if (!fits)
            return output.finish(UtfResult::NoRoom, written);
    }
    return output.finish(UtfResult::Ok, written);
}

}  // namespace corvane
