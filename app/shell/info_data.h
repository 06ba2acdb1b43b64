// RInfoData: what the information panel shows about the point under the cursor, its
// colour and its picture position, carried from the view to the panel by broadcasts
// (5155 colour set, 5156 position set, 5157 cleared).
#pragma once

#include <cstdint>

#include "base/broadcaster.h"

enum : uint32_t {
    QVMSG_INFO_COLOR = 5155,
    QVMSG_INFO_POSITION = 5156,
    QVMSG_INFO_CLEARED = 5157,
};

class RInfoData : public PTzBroadcaster {
public:
    // The first instance becomes the process's own.
    RInfoData();
    ~RInfoData() override;

    // The process's instance, or null.
    static RInfoData* GetInfoData();

    void SetColor(const uint32_t colour[3]);
    void SetPosition(const int32_t position[2]);
    // The values stay stored but read as absent until the next Set.
    void Clear();
    // 1 and the values while valid; 0 otherwise or for null.
    int GetColor(uint32_t colour[3]) const;
    int GetPosition(int32_t position[2]) const;

private:
    uint32_t m_valid = 0;
    uint32_t m_colour[3] = {};
    int32_t m_position[2] = {};
};
