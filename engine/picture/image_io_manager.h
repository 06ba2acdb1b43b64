// ITzImageIOManager: the engine's door for image files. It picks a reader among the
// format plug-ins, turns delivered rows into a one-layer picture, hands a picture's rows
// to a writer, in one call or step by step. One manager serves one job.
#pragma once

#include <cstdint>

#include "base/color_convert.h"
#include "base/file_path.h"
#include "engine/lumatra_export.h"
#include "engine/pixels/bitmap.h"
#include "engine/pixels/layer_dib_exchange.h"

class ITzPicture;
class ITzLayerImage;
struct ITzLoadJob;
struct ITzSaveJob;
struct BITMAPINFOHEADER;

class LUMATRA_API ITzImageIOManager {
public:
    ITzImageIOManager();
    virtual ~ITzImageIOManager();

    // One call: the picture read by the first plug-in that fits, or null.
    virtual ITzPicture* LoadImageFile(const _tagPTzFILE* file);
    // Clipboard bitmaps through the BMP plug-in, and the image layers' own DIB exchange.
    // Loads a packed DIB (header, palette or masks, rows; `size` bytes) into the layer,
    // which then covers the bitmap at the origin: 1, else 0 with the layer as it was
    // when the bitmap is refused. The layer must not be in a picture.
    virtual int LoadDIBToLayer(const BITMAPINFOHEADER* dib, uint32_t size, ITzLayerImage* layer);
    // A memory block (from `memory`'s callbacks, or a movable handle when null) holding
    // the layer's pixels as a packed 24-bit DIB, or null. The layer must not be in a
    // picture; it is left as it was.
    virtual void* SaveLayertoDIB(ITzLayerImage* layer, _tagITzMEMHANDLECBS* memory);
    // One call, with plugin's options dialog shown over owner: 0 or the error code. The
    // picture's format becomes {plugin, setting} only when the save succeeded.
    virtual int SaveAsImageFile(ITzPicture* picture, const _tagPTzFILE* file, void* plugin, void* owner);
    // One call with the picture's own plug-in and setting: 0 or the error code (-1601
    // when the picture has no plug-in).
    virtual int SaveImageFile(ITzPicture* picture, const _tagPTzFILE* file);

    // Connects the image layers' DIB exchange (RebuildWithDib, SavetoDIB) to a
    // temporary manager's LoadDIBToLayer and SaveLayertoDIB. ITzInit and every new
    // picture connect it, so that layers exchange DIBs without a set-up of their own.
    static void ConnectLayerDIBExchange();

    // Stepwise load: start gives the job or null; loading is nonzero while more remains;
    // end frees the job and gives the picture, or null when the load failed; cancel
    // frees everything.
    ITzLoadJob* DoLoadStart(const _tagPTzFILE* file);
    int DoLoading(ITzLoadJob* job, uint8_t* percent);
    ITzPicture* DoLoadEnd(ITzLoadJob* job);
    void DoLoadCancel(ITzLoadJob* job);

    // Stepwise save, with the picture's own plug-in or (As) with plugin after its
    // options dialog. Saving is nonzero while more remains; end frees the job and gives
    // 0, or the code of the failure that stopped the save. Only a successful save
    // changes the picture's format.
    ITzSaveJob* DoSaveStart(ITzPicture* picture, const _tagPTzFILE* file);
    ITzSaveJob* DoSaveAsStart(ITzPicture* picture, const _tagPTzFILE* file, void* plugin, void* owner);
    int DoSaving(ITzSaveJob* job, uint8_t* percent);
    int DoSaveEnd(ITzSaveJob* job);
    void DoSaveCancel(ITzSaveJob* job);

    // The row receiver of loads: rows counted from the top go to the picture's layer 0,
    // gathered in the band into few tall rectangles, none crossing a block border, so
    // that rows delivered in order write each block once. 0 after buffering, else the
    // layer's result; -1 for a null buffer or picture.
    int ReceiveRows(ITzPicture* picture, uint32_t row, uint32_t rows, const _tagPTzCOLORCONVERTBUFFER* buffer);
    // Writes what the band holds into layer 0 and empties it: the layer's result.
    int FlushBand(ITzPicture* picture);
    // The row supplier of saves: composes the picture's rows into the writer's buffer,
    // through the band. 0 or the composition's error; -1 for a null buffer or picture.
    int SupplyRows(ITzPicture* picture, uint32_t row, uint32_t rows, _tagPTzCOLORCONVERTBUFFER* buffer);
    // Rows of a load arrive bottom-up (1) or top-down (0).
    void SetBandDirection(uint32_t bottomUp) { m_bandBottomUp = bottomUp; }
    // Rows the band holds once made (0 before), for callers that check its size.
    uint32_t GetBandCapacity() const { return m_bandMade ? 1u << m_bandShift : 0u; }

private:
    // Makes the band at the first rows, from the buffer's geometry: true when it exists.
    bool MakeBand(const _tagPTzCOLORCONVERTBUFFER& buffer, uint32_t pictureHeight);
    bool BandMatches(const _tagPTzCOLORCONVERTBUFFER& buffer) const;
    uint8_t* BandRow(uint32_t index) const;
    bool BandEmpty() const { return m_bandFirst < 0; }
    // A load's rows lying in one window of the band's height (aligned on it, so inside
    // one block row): joined to the band, or written straight in when they fill the
    // window (the band is written first when they do not join it).
    int ReceiveWindowRows(ITzPicture* picture, uint32_t row, uint32_t rows, uint8_t* data, uint32_t height);
    // Copies the requested rows the band holds into out and shrinks the request.
    void ServeFromBand(uint32_t& row, uint32_t& rows, uint8_t*& out);
    int RefillBand(ITzPicture* picture, uint32_t row, uint32_t rows, const _tagPTzCOLORCONVERTBUFFER& buffer);

    uint32_t m_bandBottomUp = 0;
    uint32_t m_bandMade = 0;
    uint8_t m_bandShift = 0;
    _tagITzBITMAP m_band = {};
    int32_t m_bandFirst = -1;
    int32_t m_bandEnd = -1;
    uint32_t m_bandWindow = 0;  // loads: the first row of the window the band holds rows of
};
