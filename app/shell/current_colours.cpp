// The four colours are stored as their 12-byte records, exactly as they are.
#include "app/shell/current_colours.h"

#include "app/shell/settings_store.h"

namespace {

CImageDataManager* instance = nullptr;

constexpr _tagPTzCOLOR Colour(uint8_t alpha, uint8_t red, uint8_t green, uint8_t blue)
{
    return {PTzCOLORMODE_ARGB, alpha, {red, green, blue, 0, 0, 0, 0}};
}

constexpr _tagPTzCOLOR kBlack = Colour(255, 0, 0, 0);
constexpr _tagPTzCOLOR kWhite = Colour(255, 255, 255, 255);
constexpr _tagPTzCOLOR kGray = Colour(255, 127, 127, 127);

constexpr PTzChar kFrontName[] = u"Front_Color";
constexpr PTzChar kBackName[] = u"Back_Color";
constexpr PTzChar kChecker1Name[] = u"CRID_Color_1";
constexpr PTzChar kChecker2Name[] = u"CRID_Color_2";

void ReadColour(const PTzChar* name, _tagPTzCOLOR* colour)
{
    uint32_t type = quorvel::REG_BINARY;
    uint32_t size = sizeof(_tagPTzCOLOR);
    _tagPTzCOLOR stored;
    if (ReadAppSetting(name, &type, &stored, &size) && size == sizeof(_tagPTzCOLOR))
        *colour = stored;
}

void WriteColour(const PTzChar* name, const _tagPTzCOLOR& colour)
{
    WriteAppSetting(name, quorvel::REG_BINARY, &colour, sizeof(colour));
}

}  // namespace

CImageDataManager::CImageDataManager() : m_front(kBlack), m_back(kWhite), m_checker1(kWhite), m_checker2(kGray)
{
    if (!instance)
        instance = this;
    ReadColour(kFrontName, &m_front);
    ReadColour(kBackName, &m_back);
    ReadColour(kChecker1Name, &m_checker1);
    ReadColour(kChecker2Name, &m_checker2);
}

CImageDataManager::~CImageDataManager()
{
    WriteColour(kFrontName, m_front);
    WriteColour(kBackName, m_back);
    WriteColour(kChecker1Name, m_checker1);
    WriteColour(kChecker2Name, m_checker2);
    if (instance == this)
        instance = nullptr;
}

CImageDataManager* CImageDataManager::GetImageDataManager()
{
    return instance;
}

void CImageDataManager::SetColour(_tagPTzCOLOR* stored, const _tagPTzCOLOR* colour, uint32_t message)
{
    if (!colour)
        return;
    *stored = *colour;
    if (stored->alpha == 0) {
        stored->alpha = 255;
        stored->mode = PTzCOLORMODE_ARGB;
    }
    Broadcast(message, stored, nullptr);
}

void CImageDataManager::SetFrontColor(const _tagPTzCOLOR* colour)
{
    SetColour(&m_front, colour, QVMSG_FRONT_COLOR_CHANGED);
}

void CImageDataManager::SetBackColor(const _tagPTzCOLOR* colour)
{
    SetColour(&m_back, colour, QVMSG_BACK_COLOR_CHANGED);
}

void CImageDataManager::GetFrontColor(_tagPTzCOLOR* colour) const
{
    if (colour)
        *colour = m_front;
}

void CImageDataManager::GetBackColor(_tagPTzCOLOR* colour) const
{
    if (colour)
        *colour = m_back;
}

void CImageDataManager::GetCheckerColor1(_tagPTzCOLOR* colour) const
{
    if (colour)
        *colour = m_checker1;
}

void CImageDataManager::GetCheckerColor2(_tagPTzCOLOR* colour) const
{
    if (colour)
        *colour = m_checker2;
}

void CImageDataManager::SwapColors()
{
    const _tagPTzCOLOR front = m_front;
    const _tagPTzCOLOR back = m_back;
    SetFrontColor(&back);
    SetBackColor(&front);
}

void CImageDataManager::ResetColors()
{
    SetFrontColor(&kBlack);
    SetBackColor(&kWhite);
}
