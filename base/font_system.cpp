// fontconfig finds faces and lists families; FreeType opens them. Both are made on
// first use; the FreeType library is freed at exit. fontconfig's answers are kept.
#include "font_system.h"

#include <fontconfig/fontconfig.h>

#include <cstring>
#include <map>
#include <mutex>
#include <tuple>

namespace corvane {

namespace {

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
        if (handle)
            FT_Done_FreeType(handle);
    }
    FT_Library handle = nullptr;
    std::mutex lock;
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
    FT_Face face = nullptr;
    if (!lib.handle || FT_New_Face(lib.handle, file, index, &face) != 0)
        return nullptr;
    return FacePtr(face);
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
};

Answer askFontconfig(const std::string& name, bool italic, int weight)
{
    PatternPtr pattern(FcPatternCreate());
    if (!pattern)
        return {};
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddDouble(pattern.get(), FC_WEIGHT, FcWeightFromOpenTypeDouble(weight));
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    if (!FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern))
        return {};
    FcDefaultSubstitute(pattern.get());

    FcResult result = FcResultNoMatch;
    PatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
    const char* file = match ? fcString(match.get(), FC_FILE, 0) : nullptr;
    if (!file)
        return {};
    Answer answer{file, 0, familiesOf(match.get(), name)};
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &answer.index);
    return answer;
}

// Matching costs far more than opening the face it finds, and a picture's text asks for
// each of its fonts anew, so answers are kept as long as fontconfig keeps the
// configuration that gave them (it reads a new one only when its fonts changed). A full
// memo starts over.
class AnswerMemo {
public:
    Answer Get(const std::string& name, bool italic, int weight)
    {
        const Key key{name, italic, weight};
        FcConfig* config = FcConfigGetCurrent();
        {
            std::lock_guard guard(m_lock);
            if (config == m_config) {
                if (auto found = m_answers.find(key); found != m_answers.end())
                    return found->second;
            }
        }
        Answer answer = askFontconfig(name, italic, weight);
        // No face may mean fontconfig ran short of memory: asked again next time.
        if (answer.file.empty())
            return answer;
        std::lock_guard guard(m_lock);
        if (config != m_config || m_answers.size() >= kCapacity) {
            m_answers.clear();
            m_config = config;
        }
        m_answers.emplace(key, answer);
        return answer;
    }

private:
    using Key = std::tuple<std::string, bool, int>;
    static constexpr size_t kCapacity = 256;
    std::mutex m_lock;
    FcConfig* m_config = nullptr;
    std::map<Key, Answer> m_answers;
};

AnswerMemo& answers()
{
    static AnswerMemo memo;
    return memo;
}

}  // namespace

void FaceCloser::operator()(FT_Face face) const
{
    Library& lib = library();
    std::lock_guard guard(lib.lock);
    FT_Done_Face(face);
}

bool matchFace(const std::string& family, bool italic, int weight, FaceMatch* out)
{
    const std::string name = family.empty() ? "sans-serif" : family;
    Answer answer = answers().Get(name, italic, weight);
    if (answer.file.empty())
        return false;
    FacePtr face = openFace(answer.file.c_str(), answer.index);
    // Bitmap-only faces cannot be scaled to the stored heights.
    if (!face || !FT_IS_SCALABLE(face.get()))
        return false;

    out->families = std::move(answer.families);
    out->face = std::move(face);
    return true;
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
