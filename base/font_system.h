// The process-wide FreeType library and the questions put to fontconfig: which face
// serves a request, which face lends a character the font's own face lacks, and which
// families are installed. Private to Corvane.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace corvane {

// Closes a face under the library's lock or, when asked to keep it, keeps it open for
// the next open of the same file and index, which it knows.
struct FaceCloser {
    std::string file;
    int index = 0;
    bool keep = false;
    void operator()(FT_Face face) const;
};
using FacePtr = std::unique_ptr<FT_FaceRec_, FaceCloser>;

struct FaceMatch {
    FacePtr face;                       // an outline face
    std::vector<std::string> families;  // its family names in UTF-8, the requested one first
};

// Opens the outline face fontconfig finds closest to the request (a substitute when the
// family is missing); false when there is none. An empty family asks for sans-serif.
bool matchFace(const std::string& family, bool italic, int weight, FaceMatch* out);

// A face in a font file.
struct FaceSource {
    std::string file;
    int index = 0;
};

// The first scalable face without colour glyphs that holds the code point, in the order
// fontconfig ranks the installed faces for the request (the family first, then its
// substitutes, the style deciding among a family's faces); false when none holds it.
// The ranking is asked once per request and kept, so that each character costs a look
// at the faces' character sets only.
bool findLender(const std::string& family, bool italic, int weight, char32_t codePoint, FaceSource* out);

// Opens the face when it is a scalable one; null otherwise.
FacePtr openOutlineFace(const FaceSource& source);

// Calls visit with every family name of every installed outline font, repeats
// included, and whether the font is TrueType or OpenType. False when fontconfig fails.
bool listFamilies(const std::function<void(const char* family, bool trueType)>& visit);

}  // namespace corvane
