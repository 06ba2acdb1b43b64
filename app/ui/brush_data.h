// CBrushDataBase: the base of every brush record of the brush library, a small persistent
// description from which the engine tip the brush tools paint with is built on demand and
// kept until a value changes. Each record broadcasts 5153 when a stored value changed.
#pragma once

#include <cstdint>
#include <memory>

#include "base/broadcaster.h"
#include "base/corvane_types.h"
#include "base/io_stream.h"
#include "engine/tools/brush_base.h"

class CBrushDataBase;

// A record's value changed: broadcast to the record's listeners, null parameter.
constexpr uint32_t BRUSH_CHANGED_MESSAGE = 5153;

// The library that holds a record, told before the record broadcasts a change so that it
// can forget the record as its current one.
class IBrushRecordOwner {
public:
    virtual void OnBrushChanged(CBrushDataBase* record) = 0;

protected:
    ~IBrushRecordOwner() = default;
};

class CBrushDataBase : public PTzBroadcaster {
public:
    static constexpr uint32_t kTypeNorm = PTzFourCC("norm");
    static constexpr uint32_t kMinSpacing = 1;
    static constexpr uint32_t kMaxSpacing = 1000;
    // Bits of the flag byte of a record; the others are not used.
    static constexpr uint8_t kFlagPressureSize = 0x1;
    static constexpr uint8_t kFlagPressureOpacity = 0x2;
    static constexpr uint8_t kFlagThird = 0x4;
    // Spacing and flags.
    static constexpr uint32_t kBaseRecordSize = 5;

    ~CBrushDataBase() override;

    uint32_t GetType() const { return m_type; }
    // The number shown under the brush in the picker.
    virtual uint32_t GetDisplayNumber() const { return 0; }
    // Drops the kept engine tip, lets the owner forget the record as its current one and
    // broadcasts 5153 with a null parameter.
    virtual void Changed();
    // Bytes of the record in the brush file, and the record itself: 1, or 0 when a field
    // could not be written or read. Load reads the first GetRecordSize() of `size` bytes,
    // taking every value through its setter's range, and fails for a smaller size.
    virtual uint32_t GetRecordSize() const { return 0; }
    virtual int Save(_tagPTzIOSTREAM* stream) const;
    virtual int Load(_tagPTzIOSTREAM* stream, uint32_t size);

    // The kept engine tip, built first when there is none: null when it cannot be built.
    ITzBrushBase* GetEngineBrush();
    bool HasEngineBrush() const { return m_engineBrush != nullptr; }
    void ReleaseEngineBrush();
    // The tip drawn centred into the caller's 8-bit bitmap, by the kept engine tip or by
    // one built for the purpose: the engine's result, 0 when no tip can be built.
    int DrawPreview(_tagITzBITMAP* bitmap);

    uint32_t GetSpacing() const { return m_spacing; }
    bool GetPressureSize() const { return m_pressureSize; }
    bool GetPressureOpacity() const { return m_pressureOpacity; }
    bool GetThirdFlag() const { return m_thirdFlag; }
    // Percent of the diameter between dabs, kept in 1..1000; a change re-steps the kept tip.
    void SetSpacing(uint32_t spacing);
    // Set without a notification.
    void SetPressureSize(bool on) { m_pressureSize = on; }
    void SetPressureOpacity(bool on) { m_pressureOpacity = on; }

    void SetOwner(IBrushRecordOwner* owner) { m_owner = owner; }

    static uint32_t ClampSpacing(uint32_t spacing);

protected:
    explicit CBrushDataBase(uint32_t type) : m_type(type) {}

    // Spacing (u32) and the flag byte.
    int SaveBase(_tagPTzIOSTREAM* stream) const;
    int LoadBase(_tagPTzIOSTREAM* stream);

    // A new engine tip from the stored values, or null.
    virtual std::unique_ptr<ITzBrushBase> CreateEngineBrush() const;
    virtual void SpacingChanged() = 0;

    ITzBrushBase* KeptEngineBrush() const { return m_engineBrush.get(); }

private:
    uint32_t m_type;
    uint32_t m_spacing = 20;
    bool m_pressureSize = true;
    bool m_pressureOpacity = false;
    bool m_thirdFlag = false;
    std::unique_ptr<ITzBrushBase> m_engineBrush;
    IBrushRecordOwner* m_owner = nullptr;
};
