// ITzEditingTicket: holds a picture's editing ticket and gives it back when it goes out
// of scope, so no failure path leaves the picture locked. Movable, so stepwise tools and
// brushes can keep one across calls.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"

class ITzPicture;

class LUMATRA_API ITzEditingTicket {
public:
    ITzEditingTicket() = default;
    // Stop() when a ticket is still held.
    ~ITzEditingTicket();
    ITzEditingTicket(ITzEditingTicket&& other) noexcept;
    // Gives back what this guard held first.
    ITzEditingTicket& operator=(ITzEditingTicket&& other) noexcept;
    ITzEditingTicket(const ITzEditingTicket&) = delete;
    ITzEditingTicket& operator=(const ITzEditingTicket&) = delete;

    // Takes the picture's editing lock: 1 when held, 0 (guard unchanged) for a null
    // picture, while the picture's lock is out, or while this guard already holds one.
    int Start(ITzPicture* picture);
    // Gives the ticket back; afterwards the guard holds nothing, whatever the picture
    // answered. The picture's answer, 0 when nothing was held.
    int Stop();

    // The ticket and its picture; 0 and null while nothing is held.
    uint32_t Get() const { return m_ticket; }
    ITzPicture* GetPicture() const { return m_picture; }

private:
    ITzPicture* m_picture = nullptr;
    uint32_t m_ticket = 0;
};
