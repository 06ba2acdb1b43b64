#include "app/shell/tablet_binding.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <cmath>

uint8_t TabletPressureByte(double pressure)
{
    if (!(pressure > 0))  // also not a number
        return 0;
    if (pressure >= 1)
        return 255;
    return uint8_t(std::lround(pressure * 255));
}

CTabletProximity::CTabletProximity(QObject* parent) : QObject(parent)
{
    parent->installEventFilter(this);
}

CTabletProximity* CTabletProximity::Get()
{
    // Dies with the application object, which the pointer then forgets.
    static QPointer<CTabletProximity> watcher;
    QCoreApplication* application = QCoreApplication::instance();
    if (!watcher && application)
        watcher = new CTabletProximity(application);
    return watcher;
}

bool CTabletProximity::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::TabletEnterProximity) {
        m_near = true;
    } else if (event->type() == QEvent::TabletLeaveProximity) {
        m_near = false;
        ++m_departures;
    }
    return QObject::eventFilter(watched, event);
}

void CTabletPressure::OnTabletEvent(double pressure)
{
    CTabletProximity* proximity = CTabletProximity::Get();
    if (!proximity)
        return;
    proximity->NotePenEvent();
    m_hasData = true;
    m_pressure = TabletPressureByte(pressure);
    m_departures = proximity->Departures();
}

bool CTabletPressure::GetPressure(uint8_t* pressure) const
{
    const CTabletProximity* proximity = CTabletProximity::Get();
    if (!m_hasData || !proximity || !proximity->InProximity() || proximity->Departures() != m_departures)
        return false;
    *pressure = m_pressure;
    return true;
}
