// RBrushStatic: the brush preview of the brush tools' option panels: the tip of one brush
// of the library over its display number. It hears the record it shows, so an edit of
// that brush repaints it, and the tool whose brush it shows (the panel registers it), so
// it follows the tool's brush; a double click opens the brush picker on its brush.
#pragma once

#include <cstdint>

#include "app/ui/control_base.h"
#include "base/broadcaster.h"

class CBrushDataBase;

class RBrushStatic : public RControl<QWidget>, public PTzListener {
public:
    static constexpr uint32_t kNoBrush = 0xFFFFFFFF;
    // The number's band under the tip.
    static constexpr int kBand = 14;

    explicit RBrushStatic(QWidget* parent = nullptr);

    uint32_t GetBrushIndex() const { return m_index; }
    // Stores the index and repaints when it changed.
    void SetBrushIndex(uint32_t index);
    // The record whose changes it hears, or null.
    CBrushDataBase* GetHeardRecord() const { return m_heard; }
    // Tips drawn since the control was made, for the tests.
    uint64_t GetPreviewsDrawn() const { return m_previewsDrawn; }

protected:
    // 5153: from a record (no parameter) it repaints; from a brush tool (a pointer to the
    // tool's brush index) it shows that index. Every message answers 0.
    int Listen(uint32_t message, void* param, PTzBroadcaster* sender) override;
    bool OnEraseBackground(QPainter&, const QRect&) override { return true; }
    void Paint(QPainter& painter, const QRect& exposed) override;
    void OnDoubleClick(QMouseEvent& event) override;

private:
    uint32_t m_index = kNoBrush;
    CBrushDataBase* m_heard = nullptr;
    uint64_t m_previewsDrawn = 0;
};
