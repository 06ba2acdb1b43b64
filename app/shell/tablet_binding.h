// Pen pressure from a graphics tablet, through Qt's tablet events. Qt sends a tablet
// event before the mouse event it synthesises for the same pen action; the view keeps the
// pressure of the tablet event and gives it to the tool with the mouse event. Proximity
// (the pen near the tablet or gone) reaches only the application object, where one
// process-wide filter watches it. Without tablet data the view uses the simulated
// pressure.
#pragma once

#include <QObject>
#include <cstdint>

// A tablet's pressure (0 to 1, anything outside clamped) as 0..255, rounded.
uint8_t TabletPressureByte(double pressure);

// Whether the pen is near the tablet, as the application's proximity events tell.
class CTabletProximity : public QObject {
public:
    // The process's watcher, made on first use as a child of the application object
    // (null without one).
    static CTabletProximity* Get();

    bool InProximity() const { return m_near; }
    // Grows by one each time the pen leaves, so that pressure kept from before can be
    // told apart.
    uint32_t Departures() const { return m_departures; }
    // A tablet event came: the pen is near, whatever the proximity events said.
    void NotePenEvent() { m_near = true; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit CTabletProximity(QObject* parent);

    bool m_near = false;
    uint32_t m_departures = 0;
};

// A view's tablet state: the pressure of the last tablet event, kept while the pen that
// gave it stays near and the button stays down.
class CTabletPressure {
public:
    // A tablet press, move or release with this pressure (0 to 1).
    void OnTabletEvent(double pressure);
    // The button went up: the next press starts without tablet data.
    void ClearData() { m_hasData = false; }
    // True and the kept pressure when there is tablet data from a pen still near.
    bool GetPressure(uint8_t* pressure) const;

private:
    bool m_hasData = false;
    uint8_t m_pressure = 0;
    uint32_t m_departures = 0;
};
