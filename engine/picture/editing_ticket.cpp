// The editing-ticket guard: the picture's lock held for the guard's lifetime.
#include "engine/picture/editing_ticket.h"

#include <utility>

#include "engine/picture/picture.h"

ITzEditingTicket::~ITzEditingTicket()
{
    Stop();
}

ITzEditingTicket::ITzEditingTicket(ITzEditingTicket&& other) noexcept
    : m_picture(std::exchange(other.m_picture, nullptr)), m_ticket(std::exchange(other.m_ticket, 0))
{
}

ITzEditingTicket& ITzEditingTicket::operator=(ITzEditingTicket&& other) noexcept
{
    if (this != &other) {
        Stop();
        m_picture = std::exchange(other.m_picture, nullptr);
        m_ticket = std::exchange(other.m_ticket, 0);
    }
    return *this;
}

int ITzEditingTicket::Start(ITzPicture* picture)
{
    uint32_t ticket = 0;
    if (!picture || m_picture || !picture->EditingStart(&ticket))
        return 0;
    m_picture = picture;
    m_ticket = ticket;
    return 1;
}

int ITzEditingTicket::Stop()
{
    if (!m_picture)
        return 0;
    const int result = m_picture->EditingStop(m_ticket);
    m_picture = nullptr;
    m_ticket = 0;
    return result;
}
