// ITzLayerText: a layer of editable text (layer type 4). Its rows of characters (each a
// colour and a shared glyph of the picture's text model) are drawn into its rendered
// image block by block as they are shown; a caret and a selection, shown by a highlight
// that inverts the colours under it, mark where edits go. Every edit fills an undo info
// that the matching DoUndo* call exchanges with the layer, so one call undoes and the
// next redoes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/color.h"
#include "base/font.h"
#include "engine/lumatra_export.h"
#include "engine/picture/layer_image_n.h"
#include "engine/picture/text_row.h"

class ITzLayerImageTextSelection;
class ITzTextRowBuilder;
class ITzTextManager;

// What an edit changed: the selection before it, the characters it took out or replaced
// (with their glyphs and colours; the row is the caller's), and the selection after it.
// Positions count characters over the whole text, the row breaks included.
struct _tagITzTEXTUNDOINFO {
    uint32_t beforeStart;
    uint32_t beforeEnd;
    ITzTextRow* row;
    uint32_t afterStart;
    uint32_t afterEnd;
};

// The font and colour at the caret or over the selection, for the text tool's panel:
// a field counts only when its bit of `valid` is set.
struct _tagITzTEXTSETTING {
    _tagPTzFONTDATAINFO font;
    uint8_t reserved[2];
    _tagPTzCOLOR colour;
    uint8_t valid;
    uint8_t reserved2[3];
};
static_assert(sizeof(_tagITzTEXTSETTING) == 88);
static_assert(offsetof(_tagITzTEXTSETTING, colour) == 72 && offsetof(_tagITzTEXTSETTING, valid) == 84);

// Bits of _tagITzTEXTSETTING::valid.
enum ITzTextSettingValid : uint8_t {
    ITzTEXTVALID_FACE = 1,
    ITzTEXTVALID_HEIGHT = 2,
    ITzTEXTVALID_ITALIC = 4,
    ITzTEXTVALID_WEIGHT = 8,
    ITzTEXTVALID_COLOR = 16,
    ITzTEXTVALID_UNDERLINE = 32,
    ITzTEXTVALID_ALL = 63,
};

// Caret moves of DoDirectionKey.
enum ITzTextDirection : uint32_t {
    ITzTEXTDIR_LEFT = 0,
    ITzTEXTDIR_RIGHT = 1,
    ITzTEXTDIR_UP = 2,
    ITzTEXTDIR_DOWN = 3,
    ITzTEXTDIR_ROW_START = 4,
    ITzTEXTDIR_ROW_END = 5,
};

// Which attributes of a font record an edit applies.
enum ITzTextFontAttribute : uint32_t {
    ITzTEXTFONT_NAME = 1,
    ITzTEXTFONT_SIZE = 2,
    ITzTEXTFONT_STYLE = 4 | 8,  // weight and italic
    ITzTEXTFONT_COLOR = 16,
    ITzTEXTFONT_UNDERLINE = 32,
};

// Alignments: where the layer lies against its start point.
enum ITzTextAlignment : uint32_t {
    ITzTEXTALIGN_LEFT = 0,
    ITzTEXTALIGN_RIGHT = 1,
    ITzTEXTALIGN_CENTRE = 2,
};

class LUMATRA_API ITzLayerText : public ITzLayerImageN {
public:
    // A layer of one empty row with its glyphs from the manager (which must outlive it),
    // placed at the start point (picture coordinates; null: the origin). The caret at 0.
    ITzLayerText(ITzTextManager* manager, const PTzPOINT* start);
    // A copy: the rows with references of their own, the start point, alignment, row
    // spacing and selection, placed as the source's alignment says.
    explicit ITzLayerText(const ITzLayerText* source);
    ~ITzLayerText() override;

    // Overrides of the layer base.
    ITzLayerBase* CreateCopyLayer() override;
    // The start point and the highlight move along.
    int MoveCore(_tagPTzOFFSET* offset) override;
    using ITzLayerImageN::PreviewMergeToBitmap;
    // The image, and over it the selection's highlight while the layer is the active one
    // (never for a save).
    int PreviewMergeToBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                             const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY, int forSave) override;
    // Planned as the image alone while no highlight shows; null while one does.
    std::unique_ptr<ITzPreviewRows> PlanPreviewMerge(const _tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                                     const _tagITzZOOMLEVEL* zoomX,
                                                     const _tagITzZOOMLEVEL* zoomY) override;
    // The highlight shows only while the layer is active: its area is reported changed.
    void ActiveChanged() override;
    // Each row meeting the rectangle, rows stacked from the top with the spacing.
    int DrawToChannelBitmap(const PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap) override;

    // The selection: the anchor and the caret, each clamped to the character count.
    void GetSelectRange(uint32_t* anchor, uint32_t* caret) const;
    // Redraws the highlight and reports the rectangles that changed.
    void SetSelectRange(uint32_t anchor, uint32_t caret);
    // Points are in layer coordinates. Whether the point lies in some row's rectangle.
    int PointInText(const PTzPOINT* point);
    // The position at the point: the row under it (a point outside every row takes the
    // nearest one), then the position at its x in that row. 0 for null.
    uint32_t GetCharIndexFromPoint(const PTzPOINT* point);
    // The caret in picture coordinates: x, the top of its row and the row's height (0
    // on an empty row). 1, or 0 for a null argument.
    int GetFlashCursorPicturePos(int32_t* x, int32_t* y, int32_t* height);
    // Moves the caret by an ITzTextDirection; with `extend` 0 the anchor follows it.
    void DoDirectionKey(uint32_t direction, int extend);

    // Placement. Setting another alignment places the layer against the start point
    // (left: at it, right: ending at it, centre: centred on it; an unknown one at the
    // origin). The spacing between rows changes nothing already laid out.
    const PTzPOINT& GetStartPoint() const { return m_start; }
    uint32_t GetAlignment() const { return m_alignment; }
    void SetAlignment(uint32_t alignment);
    uint16_t GetRowSpacing() const { return m_rowSpacing; }
    void SetRowSpacing(uint16_t spacing);

    // Edits. Each records its change in `info` (whose row must be given) and leaves the
    // selection collapsed behind the change. Nonzero when the text changed.
    // Inserts the character with the font and colour at the caret; the row break also
    // starts a new row with what follows it. When the info's row is empty the selection
    // before is the caret.
    int DoChar(_tagITzTEXTUNDOINFO* info, const _tagPTzFONTDATAINFO* font, uint16_t character,
               const _tagPTzCOLOR* colour);
    // Takes the selected characters into the info's row: 0 without a selection.
    int DeleteSelection(_tagITzTEXTUNDOINFO* info);
    // Removes the selection, or else the character before (backward) or after the caret.
    // Deleting one character records the caret and the deleted character's far side as
    // the range before (backwards: its end lies before its start).
    int DoDelete(_tagITzTEXTUNDOINFO* info, int backward);
    // The selected characters take new glyphs (or colours) with the attribute of `font`
    // changed; the info's row keeps the old glyphs and colours, and the selection is
    // both ranges. 0 when nothing changed (no selection, or the attribute was theirs).
    int SetFontUnderLine(_tagITzTEXTUNDOINFO* info, const _tagPTzFONTDATAINFO* font);
    int SetFontSize(_tagITzTEXTUNDOINFO* info, const _tagPTzFONTDATAINFO* font);
    int SetFontName(_tagITzTEXTUNDOINFO* info, const _tagPTzFONTDATAINFO* font);
    int SetFontStyle(_tagITzTEXTUNDOINFO* info, const _tagPTzFONTDATAINFO* font);
    int SetFontColor(_tagITzTEXTUNDOINFO* info, const _tagPTzCOLOR* colour);
    // Exchange the layer's state with a record of the edit of that kind: the same call
    // undoes and then redoes. Nonzero exactly when the layer changed.
    int DoUndoFont(_tagITzTEXTUNDOINFO* info);
    int DoUndoInput(_tagITzTEXTUNDOINFO* info);
    int DoUndoRemove(_tagITzTEXTUNDOINFO* info);
    int DoUndoDelete(_tagITzTEXTUNDOINFO* info);
    // The font and colour of the first selected character, with the bits of the
    // attributes in which a later selected character differs cleared; without a
    // selection those of the character before the caret (after it at the start). 1, or
    // 0 (setting untouched) for null or a layer without characters.
    int GetFontSettingInfo(_tagITzTEXTSETTING* setting);

    // The text.
    uint32_t GetCharacterCount() const { return m_count; }
    uint32_t GetRowCount() const { return uint32_t(m_rows.size()); }
    ITzTextRow* GetRow(uint32_t index) const { return index < m_rows.size() ? m_rows[index].get() : nullptr; }
    // A copy of the entry at the position (the layer keeps the reference).
    bool GetCharacter(uint32_t position, _tagITzTEXTCHARENTRY* out) const;
    ITzTextManager* GetTextManager() const { return m_manager; }
    // Takes the rows a builder made as the layer's whole text, in place of an empty one,
    // lays them out once and places the layer against its start point: 0; the builder's
    // error, or -1001 when the layer has characters (nothing taken then).
    int LoadText(ITzTextRowBuilder& text);
    // Places the layer against its start point as its alignment says.
    void PlaceAtStart();

private:
    struct Place {
        uint32_t row;
        uint32_t offset;
    };
    // The row and offset of a position (a position after a row break opens the next row).
    Place Locate(uint32_t position) const;
    uint32_t RowStart(uint32_t row) const;
    // The last position of a row a caret can take: before its row break, if it has one.
    uint32_t RowLastOffset(uint32_t row) const;
    int64_t RowTop(uint32_t row) const;
    PTzRECT RowRect(uint32_t row) const;
    // Moves [from, to) (either order) into `out` behind its characters: 1 when something
    // moved. PutIn empties `in` into the text at the position: 1 when something moved.
    int TakeOut(uint32_t from, uint32_t to, ITzTextRow& out);
    int PutIn(uint32_t position, ITzTextRow& in);
    // After rows [first, last] changed: their metrics, the layer's size and image, and
    // what must be drawn again (from x on the first row when only that row changed).
    void Relayout(uint32_t first, uint32_t last, int64_t x, bool rowsChanged);
    // The selected characters exchange their entries with `row`'s, one by one in text
    // order: true when any changed.
    bool SwapRange(uint32_t from, uint32_t to, ITzTextRow& row);
    // New glyphs for the selection with the attributes of `mask` taken from `font`.
    int ApplyFont(_tagITzTEXTUNDOINFO* info, const _tagPTzFONTDATAINFO* font, const _tagPTzCOLOR* colour,
                  uint32_t mask);
    // Moves the layer with its image and highlight, leaving the start point.
    int Shift(_tagPTzOFFSET* offset);
    // The highlight's rectangles (layer coordinates) for the selection.
    std::vector<PTzRECT> HighlightRects() const;
    void RedrawHighlight();
    bool IsActive() const;

    ITzTextManager* m_manager;  // not owned
    PTzPOINT m_start = {0, 0};
    uint32_t m_anchor = 0;
    uint32_t m_caret = 0;
    uint32_t m_count = 0;
    uint32_t m_alignment = ITzTEXTALIGN_LEFT;
    uint16_t m_rowSpacing = 0;
    std::vector<std::unique_ptr<ITzTextRow>> m_rows;
    std::unique_ptr<ITzLayerImageTextSelection, ITzLayerDestroyer> m_highlight;
    PTzRECT m_highlightBounds = {};  // layer coordinates
};
