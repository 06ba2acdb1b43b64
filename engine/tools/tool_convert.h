// ITzToolAutoConvert and ITzToolConvert: replace layers that are drawn through a rendered
// image (text layers) by that image as an image layer, as one undo step. 'autc' marks a
// conversion another edit needs and runs under that edit's ticket; 'tolc' is the user's
// own Convert command and takes a ticket of its own.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"
#include "engine/tools/tool_base.h"

class ITzLayerBackupList;

// The undo record of a conversion ('autc' or 'tolc'). A PTzPointNew block owned by the
// tool kind. Each item {index, layer} names a converted place and the layer of that place
// that is out of the picture: the replaced layer while the conversion is in effect, null
// after an undo.
struct _tagITzUNDOCONVERT {
    _tagUNDODATABASE head;
    ITzLayerBackupList* layers;  // owned, with the layers it holds
};

class LUMATRA_API ITzToolAutoConvert : public ITzToolBase {
public:
    // Tool ID 'autc'.
    ITzToolAutoConvert();
    ~ITzToolAutoConvert() override;

    // Every converted place takes its replaced layer back (the image goes back to it as
    // its rendered image) and the last one becomes active. Nonzero when a place changed.
    int DoUndo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    // Every place whose layer gives up its rendered image is converted again.
    int DoRedo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    // Deletes the layers the record holds and frees it: 1, 0 for null.
    int ReleaseUndoData(_tagUNDODATABASE* record) override;

    // Converts the layer at the index, recorded under the tool's ID: 1 when converted and
    // recorded; 0 with the picture unchanged for null arguments, an index out of range, a
    // layer that gives no rendered image, a refused ticket or when memory is short.
    static int ConvertLayer(ITzToolAutoConvert* tool, uint16_t index, ITzPicture* picture);
    // Converts every layer that gives a rendered image, in one record saved only when one
    // was converted: 1 then; 0 when none was, and then nothing changed (also when a
    // conversion failed halfway: the ones made are taken back).
    static int ConvertAllLayers(ITzPicture* picture, ITzToolAutoConvert* tool);

protected:
    // The explicit command takes its own ticket; a conversion another edit needs runs
    // under the ticket that edit holds.
    virtual bool TakesOwnTicket() const;

private:
    // Converts every convertible layer in [first, last) into one record: 1 when one was
    // converted and the history keeps the step, else 0 with the picture unchanged.
    int Convert(ITzPicture& picture, uint16_t first, uint16_t last);
    int ConvertUnderTicket(ITzPicture& picture, uint16_t first, uint16_t last);
};

// The user's Convert command: the same conversion, recorded as 'tolc', so that undoing
// the next edit does not take it along.
class LUMATRA_API ITzToolConvert : public ITzToolAutoConvert {
public:
    // Tool ID 'tolc'.
    ITzToolConvert();
    ~ITzToolConvert() override;

protected:
    bool TakesOwnTicket() const override;
};
