// fontconfig finds faces (also those lending characters) and lists families; FreeType
// opens them. Both are made on first use; the FreeType library is freed at exit.
// fontconfig's answers are kept.
#include "font_system.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <map>
#include <mutex>
#include <new>
#include <tuple>

namespace corvane {

namespace {

// A face closed by its font, kept open for the next font of the same file and index.
struct ClosedFace {
    std::string file;
    int index;
    FT_Face face;
};

// FreeType lets threads share a library as long as faces are opened and closed one
// at a time.
struct Library {
    Library()
    {
        if (FT_Init_FreeType(&handle) != 0)
            handle = nullptr;
    }
    ~Library()
    {
        // Freeing the library closes the faces still kept.
        if (handle)
            FT_Done_FreeType(handle);
    }
    FT_Library handle = nullptr;
    std::mutex lock;
    // Opening a face reads and checks its font file, and a picture's text opens the
    // same few faces again and again (each load, copy and undo of a text layer makes
    // its fonts anew), so the latest faces fonts closed wait here, the newest last. A
    // face still belongs to one font at a time: fonts never share a size or a glyph slot.
    static constexpr size_t kClosedFaces = 8;
    std::vector<ClosedFace> closed;
};

Library& library()
{
    static Library instance;
    return instance;
}

template <typename T, void (*Free)(T*)>
struct FcDeleter {
    void operator()(T* object) const { Free(object); }
};
using PatternPtr = std::unique_ptr<FcPattern, FcDeleter<FcPattern, FcPatternDestroy>>;
using ObjectSetPtr = std::unique_ptr<FcObjectSet, FcDeleter<FcObjectSet, FcObjectSetDestroy>>;
using FontSetPtr = std::unique_ptr<FcFontSet, FcDeleter<FcFontSet, FcFontSetDestroy>>;

FacePtr openFace(const char* file, int index)
{
    Library& lib = library();
    std::lock_guard guard(lib.lock);
    FaceCloser closer{file, index};
    const auto kept = std::find_if(lib.closed.rbegin(), lib.closed.rend(), [&](const ClosedFace& closed) {
        return closed.index == index && closed.file == file;
    });
    if (kept != lib.closed.rend()) {
        FT_Face face = kept->face;
        lib.closed.erase(std::next(kept).base());
        return FacePtr(face, std::move(closer));
    }
    FT_Face face = nullptr;
    if (!lib.handle || FT_New_Face(lib.handle, file, index, &face) != 0)
        return nullptr;
    return FacePtr(face, std::move(closer));
}

const char* fcString(const FcPattern* pattern, const char* object, int n)
{
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, n, &value) != FcResultMatch)
        return nullptr;
    return reinterpret_cast<const char*>(value);
}

// The face's family names with the one that answers the request first, so that a
// face listed under several names reports the name it was asked by.
std::vector<std::string> familiesOf(const FcPattern* match, const std::string& requested)
{
    std::vector<std::string> families;
    for (int n = 0; const char* name = fcString(match, FC_FAMILY, n); ++n) {
        const bool asked = FcStrCmpIgnoreCase(reinterpret_cast<const FcChar8*>(name),
                                              reinterpret_cast<const FcChar8*>(requested.c_str())) == 0;
        families.insert(asked ? families.begin() : families.end(), name);
    }
    return families;
}

// What fontconfig answered to a request: the face's file (empty when nothing serves it),
// its index and its family names with the requested one first.
struct Answer {
    std::string file;
    int index = 0;
    std::vector<std::string> families;

    explicit operator bool() const { return !file.empty(); }
};

// The request as fontconfig's configuration completes it; null when it ran short of memory.
PatternPtr requestPattern(const std::string& name, bool italic, int weight)
{
    PatternPtr pattern(FcPatternCreate());
    if (!pattern)
        return nullptr;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddDouble(pattern.get(), FC_WEIGHT, FcWeightFromOpenTypeDouble(weight));
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    if (!FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern))
        return nullptr;
    FcDefaultSubstitute(pattern.get());
    return pattern;
}

Answer askFontconfig(const std::string& name, bool italic, int weight)
{
    PatternPtr pattern = requestPattern(name, italic, weight);
    if (!pattern)
        return {};
    FcResult result = FcResultNoMatch;
    PatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
    const char* file = match ? fcString(match.get(), FC_FILE, 0) : nullptr;
    if (!file)
        return {};
    Answer answer{file, 0, familiesOf(match.get(), name)};
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &answer.index);
    return answer;
}

// The installed faces in fontconfig's order for the request, scalable ones first (the
// request asks for them), leaving out each face that holds no character the faces before
// it lack.
std::shared_ptr<FcFontSet> askRanking(const std::string& name, bool italic, int weight)
{
    PatternPtr pattern = requestPattern(name, italic, weight);
    if (!pattern)
        return nullptr;
    FcResult result = FcResultNoMatch;
    FcFontSet* faces = FcFontSort(nullptr, pattern.get(), FcTrue, nullptr, &result);
    if (!faces)
        return nullptr;
    return std::shared_ptr<FcFontSet>(faces, FcFontSetDestroy);
}

// Matching and ranking cost far more than opening the face they find, and a picture's
// text asks for each of its fonts anew, so answers are kept as long as fontconfig keeps
// the configuration that gave them (it reads a new one only when its fonts changed). A
// full memo starts over.
template <typename Value>
class Memo {
public:
    // The kept value for the request, else ask()'s. An empty value is not kept: it may
    // mean that fontconfig ran short of memory, so it is asked again next time.
    template <typename Ask>
    Value Get(const std::string& name, bool italic, int weight, const Ask& ask)
    {
        const Key key{name, italic, weight};
        FcConfig* config = FcConfigGetCurrent();
        {
            std::lock_guard guard(m_lock);
            if (config == m_config) {
                if (auto found = m_values.find(key); found != m_values.end())
                    return found->second;
            }
        }
        Value value = ask(name, italic, weight);
        if (!value)
            return value;
        std::lock_guard guard(m_lock);
        if (config != m_config || m_values.size() >= kCapacity) {
            m_values.clear();
            m_config = config;
        }
        m_values.emplace(key, value);
        return value;
    }

private:
    using Key = std::tuple<std::string, bool, int>;
    static constexpr size_t kCapacity = 256;
    std::mutex m_lock;
    FcConfig* m_config = nullptr;
    std::map<Key, Value> m_values;
};

Memo<Answer>& answers()
{
    static Memo<Answer> memo;
    return memo;
}

Memo<std::shared_ptr<FcFontSet>>& rankings()
{
    static Memo<std::shared_ptr<FcFontSet>> memo;
    return memo;
}

std::string familyOrDefault(const std::string& family)
{
    return family.empty() ? "sans-serif" : family;
}

}  // namespace

void FaceCloser::operator()(FT_Face face) const
{
    Library& lib = library();
    std::lock_guard guard(lib.lock);
    if (!keep) {
        FT_Done_Face(face);
        return;
    }
    if (lib.closed.size() == Library::kClosedFaces) {
        FT_Done_Face(lib.closed.front().face);
        lib.closed.erase(lib.closed.begin());
    }
    // Keeping it may fail for want of memory: the face is then closed.
    try {
        lib.closed.push_back(ClosedFace{file, index, face});
    } catch (const std::bad_alloc&) {
        FT_Done_Face(face);
    }
}

bool matchFace(const std::string& family, bool italic, int weight, FaceMatch* out)
{
    Answer answer = answers().Get(familyOrDefault(family), italic, weight, askFontconfig);
    if (!answer)
        return false;
    // Bitmap-only faces cannot be scaled to the stored heights.
    FacePtr face = openOutlineFace({answer.file, answer.index});
    if (!face)
        return false;
    // A font's own face waits among the closed faces when the font goes, for the next
    // font of that face; a lent face goes with its font.
    face.get_deleter().keep = true;

    out->families = std::move(answer.families);
    out->face = std::move(face);
    return true;
}

bool findLender(const std::string& family, bool italic, int weight, char32_t codePoint, FaceSource* out)
{
    const std::shared_ptr<FcFontSet> ranking = rankings().Get(familyOrDefault(family), italic, weight, askRanking);
    for (int i = 0; ranking && i < ranking->nfont; ++i) {
        const FcPattern* face = ranking->fonts[i];
        FcCharSet* characters = nullptr;
        FcBool scalable = FcFalse;
        FcBool colour = FcFalse;
        const char* file = fcString(face, FC_FILE, 0);
        if (!file || FcPatternGetCharSet(face, FC_CHARSET, 0, &characters) != FcResultMatch ||
            !FcCharSetHasChar(characters, codePoint))
            continue;
        // Coverage rendering shows outlines: bitmap and colour faces cannot lend.
        FcPatternGetBool(face, FC_SCALABLE, 0, &scalable);
        FcPatternGetBool(face, FC_COLOR, 0, &colour);
        if (!scalable || colour)
            continue;
        *out = {file, 0};
        FcPatternGetInteger(face, FC_INDEX, 0, &out->index);
        return true;
    }
    return false;
}

FacePtr openOutlineFace(const FaceSource& source)
{
    FacePtr face = openFace(source.file.c_str(), source.index);
    if (!face || !FT_IS_SCALABLE(face.get()))
        return nullptr;
    return face;
}

bool listFamilies(const std::function<void(const char* family, bool trueType)>& visit)
{
    PatternPtr pattern(FcPatternCreate());
    ObjectSetPtr objects(FcObjectSetBuild(FC_FAMILY, FC_FONTFORMAT, nullptr));
    if (!pattern || !objects)
        return false;
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FontSetPtr fonts(FcFontList(nullptr, pattern.get(), objects.get()));
    if (!fonts)
        return false;
    for (int i = 0; i < fonts->nfont; ++i) {
        const FcPattern* font = fonts->fonts[i];
        const char* format = fcString(font, FC_FONTFORMAT, 0);
        const bool trueType =
            format && (std::strcmp(format, "TrueType") == 0 || std::strcmp(format, "CFF") == 0);
        for (int n = 0; const char* family = fcString(font, FC_FAMILY, n); ++n)
            visit(family, trueType);
    }
    return true;
}

}  // namespace corvane
