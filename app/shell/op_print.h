// COpPrint: renders a rectangle of a picture into a rectangle of a printer (any QPainter
// target), one 256 x 256 block of the destination per step, so that the progress
// dialog stays responsive on a page of tens of millions of device pixels. The engine's
// block-wise bilinear resize reads the composite picture at 1/1 over opaque white
// (transparent areas print as paper; the mask-editing overlay is left out, as saves
// leave it out) and the block is drawn with ITzITzChannelBitmapDraw.
#pragma once

#include <cstdint>

#include "app/shell/operation.h"
#include "base/geometry.h"
#include "engine/pixels/bitmap.h"

class ITzPicture;
class QPainter;

class COpPrint : public COperationBase {
public:
    using COperationBase::COperationBase;
    ~COpPrint() override;

    // Prints the source part of the picture into the destination, bilinearly (the
    // engine's only block-wise type), under the progress rules with the progress dialog
    // over dialogParent: Run's result.
    static int RunBilinear(QWidget* dialogParent, ITzPicture* picture, QPainter* painter, const PTzRECT& source,
                           const PTzRECT& dest);

    // The source rectangle in picture pixels and the destination in the painter's
    // device pixels (a null rectangle stays empty, and Start then fails); the resample
    // type goes to the engine, which resizes block-wise only bilinearly (1). 1.
    int Set(ITzPicture* picture, QPainter* painter, const PTzRECT* source, const PTzRECT* dest,
            uint32_t resampleType);
    // Fails, holding nothing, without a picture or painter, for an empty rectangle, or
    // when the block bitmap or the engine's resize setting cannot be made.
    int Start() override;
    // One block: resized, drawn, and the percentage of the destination's area done.
    int Step(uint32_t* percent) override;
    int Cancel() override;
    // 1 when every block was drawn; 0 when the engine failed one (the scratch pool ran short).
    int End() override;

private:
    // The engine's input: the source rectangle's part, offset into the picture.
    static int ReadSource(PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap, void* user);
    void Release();

    ITzPicture* m_picture = nullptr;
    QPainter* m_painter = nullptr;
    PTzRECT m_source = {};
    PTzRECT m_dest = {};
    uint32_t m_type = 0;
    _tagITzCHANNELBITMAP m_bitmap = {};
    _tagPTzRECTENUM m_blocks = {};
    void* m_setting = nullptr;
    uint64_t m_total = 0;  // destination pixels
    uint64_t m_done = 0;
    bool m_failed = false;
};
