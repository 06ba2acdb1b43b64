// The information data sends itself as the sender of each broadcast.
#include "app/shell/info_data.h"

namespace {

RInfoData* instance = nullptr;

}  // namespace

RInfoData::RInfoData()
{
    if (!instance)
        instance = this;
}

RInfoData::~RInfoData()
{
    if (instance == this)
        instance = nullptr;
}

RInfoData* RInfoData::GetInfoData()
{
    return instance;
}

void RInfoData::SetColor(const uint32_t colour[3])
{
    m_valid = 1;
    for (int i = 0; i < 3; ++i)
        m_colour[i] = colour[i];
    Broadcast(QVMSG_INFO_COLOR, nullptr, this);
}

void RInfoData::SetPosition(const int32_t position[2])
{
    m_valid = 1;
    m_position[0] = position[0];
    m_position[1] = position[1];
    Broadcast(QVMSG_INFO_POSITION, nullptr, this);
}

void RInfoData::Clear()
{
    m_valid = 0;
    Broadcast(QVMSG_INFO_CLEARED, nullptr, this);
}

int RInfoData::GetColor(uint32_t colour[3]) const
{
    if (!m_valid || !colour)
        return 0;
    for (int i = 0; i < 3; ++i)
        colour[i] = m_colour[i];
    return 1;
}

int RInfoData::GetPosition(int32_t position[2]) const
{
    if (!m_valid || !position)
        return 0;
    position[0] = m_position[0];
    position[1] = m_position[1];
    return 1;
}
