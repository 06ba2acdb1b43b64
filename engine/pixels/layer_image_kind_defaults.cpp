// What the image layer answers for the block operations of its kinds where a kind adds
// nothing of its own: these are the refusals and neutral answers of the abstract layer.
#include "base/error_codes.h"
#include "engine/pixels/layer_image.h"

ITzLayerImage* ITzLayerImage::CopyLayer()
{
    return nullptr;
}

int ITzLayerImage::RebuildWithImageLayer(ITzLayerImage* /*source*/)
{
    return 0;
}

ITzLayerImage* ITzLayerImage::CreateSameTypeLayer()
{
    return nullptr;
}

int ITzLayerImage::MergeToBitmap(_tagITzBITMAP* /*bitmap*/, const PTzRECT* /*rect*/,
                                 const _tagITzZOOMLEVEL* /*zoomX*/, const _tagITzZOOMLEVEL* /*zoomY*/)
{
    return ITzERR_INVALID;
}

int ITzLayerImage::GetBitmap(_tagITzBITMAP* /*bitmap*/, const PTzRECT* /*rect*/, const _tagITzZOOMLEVEL* /*zoomX*/,
                             const _tagITzZOOMLEVEL* /*zoomY*/)
{
    return ITzERR_INVALID;
}

int ITzLayerImage::GetChannelBitmap(_tagITzCHANNELBITMAP* /*bitmap*/, const PTzRECT* /*rect*/,
                                    const _tagITzZOOMLEVEL* /*zoomX*/, const _tagITzZOOMLEVEL* /*zoomY*/)
{
    return ITzERR_INVALID;
}

int ITzLayerImage::ColorFillSelection(_tagITzBITMAP* /*mask*/, const PTzRECT* /*rect*/,
                                      const _tagPTzCOLOR* /*colour*/, uint32_t /*tolerance*/)
{
    return ITzERR_INVALID;
}

int ITzLayerImage::SetBlockColor(uint32_t /*index*/, const _tagPTzCOLOR* /*colour*/)
{
    return 0;
}

int ITzLayerImage::FloatMergeToBitmap(_tagITzBITMAP* /*bitmap*/, const PTzRECT* /*rect*/, uint8_t /*level*/,
                                      const _tagITzZOOMLEVEL* /*zoomX*/, const _tagITzZOOMLEVEL* /*zoomY*/,
                                      ITzLayerImage* /*selection*/)
{
    return 0;
}

int ITzLayerImage::PreviewMergeToBitmapWithFloating(_tagITzBITMAP* /*bitmap*/, const PTzRECT* /*rect*/,
                                                    uint8_t /*level*/, const _tagITzZOOMLEVEL* /*zoomX*/,
                                                    const _tagITzZOOMLEVEL* /*zoomY*/)
{
    return ITzERR_INVALID;
}

int ITzLayerImage::GetBlockInfo(uint32_t /*index*/, _tagITzBLOCKDATAINFO* /*info*/, int /*fill*/)
{
    return ITzERR_INVALID;
}

int ITzLayerImage::SetBlockInfo(uint32_t /*index*/, const _tagITzBLOCKDATAINFO* /*info*/)
{
    return ITzERR_INVALID;
}

int ITzLayerImage::GetZoomData(_tagITzBITMAP* /*bitmap*/, const PTzRECT* /*rect*/,
                               const _tagITzZOOMLEVEL* /*zoomX*/, const _tagITzZOOMLEVEL* /*zoomY*/)
{
    return -1;
}

int ITzLayerImage::FloatMergeRectDataToBlockMemory(const PTzRECT* /*rect*/, _tagITzBLOCKMEMORY* /*target*/,
                                                   _tagITzBLOCKMEMORYGRAY* /*mask*/)
{
    return 0;
}

int ITzLayerImage::FloatMergeBlockDataToBlockMemory(uint32_t /*block*/, _tagITzBLOCKMEMORY* /*target*/,
                                                    _tagITzBLOCKMEMORYGRAY* /*mask*/)
{
    return 0;
}

int ITzLayerImage::FillRectDataToLayerBlock(ITzLayerImage* /*target*/, uint32_t /*block*/,
                                            const PTzRECT* /*rect*/)
{
    return ITzERR_INVALID;
}

int ITzLayerImage::SetBlockData(uint32_t /*index*/, const _tagITzBLOCKMEMORY* /*memory*/)
{
    return 0;
}

int ITzLayerImage::InvaildRect(const PTzRECT* /*rect*/)
{
    return 0;
}

int ITzLayerImage::CopyToLayerWithMask(ITzLayerImage* /*target*/, const _tagITzBLOCKPOSITION* /*targetPosition*/,
                                       const _tagITzBLOCKPOSITION* /*sourcePosition*/, ITzLayerImage* /*selection*/)
{
    return 0;
}

int ITzLayerImage::MergeBlockMask(_tagITzBITMAP* /*mask*/, const _tagITzBLOCKPOSITION* /*position*/,
                                  const PTzRECT* /*rect*/, uint32_t /*mode*/)
{
    return 0;
}

int ITzLayerImage::FillBlockDataFromLayer(uint32_t /*block*/, const PTzRECT* /*rect*/, ITzLayerImage* /*source*/,
                                          const PTzRECT* /*sourceRect*/, _tagITzMERGEDATA* /*merge*/,
                                          _tagITzBITMAP* /*mask*/, const PTzRECT* /*maskRect*/, uint8_t /*factor*/)
{
    return 0;
}

int ITzLayerImage::FillChannelBitmapData(_tagITzCHANNELBITMAP* /*target*/, const PTzRECT* /*targetRect*/,
                                         const PTzRECT* /*rect*/, _tagITzMERGEDATA* /*merge*/,
                                         _tagITzBITMAP* /*mask*/, const PTzRECT* /*maskRect*/, uint8_t /*factor*/)
{
    return 0;
}

int ITzLayerImage::FillRectDataToBlockMemoryWithMask(const PTzRECT* /*rect*/, _tagITzBLOCKMEMORY* /*target*/,
                                                     _tagITzBLOCKMEMORYGRAY* /*mask*/)
{
    return 0;
}

int ITzLayerImage::GetBlockPointColor(uint32_t /*index*/, const PTzPOINT* /*inBlock*/, _tagPTzCOLOR* /*colour*/)
{
    return 0;
}

int ITzLayerImage::AllowInvaildRect()
{
    return 0;
}

int ITzLayerImage::BlockDataAvailable(uint32_t /*index*/)
{
    return 0;
}

int ITzLayerImage::BlockDataInvalid(uint32_t /*index*/)
{
    return 0;
}

int ITzLayerImage::FillBlock(const _tagITzBLOCKPOSITION* /*position*/, const PTzRECT* /*rect*/,
                             const _tagPTzCOLOR* /*colour*/)
{
    return ITzERR_INVALID;
}

int ITzLayerImage::FillBlockPolygonWithCrossData(const _tagITzBLOCKPOSITION* /*position*/, const PTzRECT* /*rect*/,
                                                 const PTzPOINT* /*origin*/, ITzPloygonCrossPixelList* /*list*/,
                                                 const _tagPTzCOLOR* /*colour*/)
{
    return ITzERR_INVALID;
}

int ITzLayerImage::FillBlockDataWithCrossData(const _tagITzBLOCKPOSITION* /*position*/, const PTzRECT* /*rect*/,
                                              const PTzPOINT* /*origin*/, ITzCrossPixelList* /*list*/,
                                              const _tagPTzCOLOR* /*colour*/)
{
    return ITzERR_INVALID;
}

int ITzLayerImage::AlphaDataFull(const PTzRECT* /*rect*/)
{
    return 0;
}

// No kind answers 1 here: an empty answer could only ever skip work, never draw wrong.
int ITzLayerImage::AlphaDataEmpty(const PTzRECT* /*rect*/)
{
    return 0;
}

int ITzLayerImage::CopyBlockAlpha(uint32_t /*index*/, PTzHANDLE* /*alpha*/, uint8_t* /*constant*/)
{
    return 0;
}

int ITzLayerImage::PrepareBlockData(uint32_t /*index*/)
{
    return 0;
}

int ITzLayerImage::PreviewUpdateRectDataFromDatalayer(const PTzRECT* /*rect*/, const PTzPOINT* /*source*/,
                                                      uint8_t /*type*/)
{
    return 0;
}

int ITzLayerImage::PreviewUpdateRectBlock(uint32_t /*index*/, const PTzRECT* /*inBlock*/,
                                          const PTzRECT* /*pictureRect*/, uint8_t /*flags*/)
{
    return 0;
}

int ITzLayerImage::PreviewUpdateRectChannel(_tagITzCHANNELDATA* /*channel*/, const PTzRECT* /*inBlock*/,
                                            const PTzPOINT* /*corner*/, uint8_t /*flags*/)
{
    return 0;
}

int ITzLayerImage::FillCacheBlockAlpha(_tagITzCHANNELDATA* /*alpha*/, const PTzRECT* /*targetRect*/,
                                       const PTzRECT* /*sourceRect*/, uint8_t /*level*/)
{
    return 0;
}

int ITzLayerImage::FillCacheBlock(_tagITzBLOCKMEMORYARGB* /*target*/, const PTzRECT* /*targetRect*/,
                                  const PTzRECT* /*sourceRect*/, uint8_t /*level*/)
{
    return 0;
}

int ITzLayerImage::MergeNeedBackupDes(uint32_t /*block*/, const _tagITzMERGEDATA* /*merge*/)
{
    return 1;
}

int ITzLayerImage::MergeNeedBackupSrc(uint32_t /*block*/, const _tagITzMERGEDATA* /*merge*/)
{
    return 1;
}

int ITzLayerImage::MergeNeedBackupSrc(const PTzRECT* /*rect*/, const _tagITzMERGEDATA* /*merge*/)
{
    return 1;
}

int ITzLayerImage::LockBitmap(_tagITzBITMAP* /*bitmap*/)
{
    return 0;
}

int ITzLayerImage::UnlockBitmap(_tagITzBITMAP* /*bitmap*/)
{
    return 0;
}

int ITzLayerImage::LockChannelBitmap(_tagITzCHANNELBITMAP* /*bitmap*/)
{
    return 0;
}

int ITzLayerImage::UnlockChannelBitmap(_tagITzCHANNELBITMAP* /*bitmap*/)
{
    return 0;
}

int ITzLayerImage::FillBlockToChannelBitmap(uint32_t /*index*/, _tagITzCHANNELBITMAP* /*bitmap*/)
{
    return 0;
}

int ITzLayerImage::LockBlockToChannelBitmap(uint32_t /*index*/, _tagITzCHANNELBITMAP* /*bitmap*/)
{
    return 0;
}

int ITzLayerImage::LockBlockToChannelBitmapUnfilled(uint32_t index, _tagITzCHANNELBITMAP* bitmap,
                                                    uint8_t* unfilled, uint8_t* /*values*/)
{
    if (!unfilled)
        return 0;
    *unfilled = 0;
    return LockBlockToChannelBitmap(index, bitmap);
}

int ITzLayerImage::UnlockChannelBitmapToBlock(uint32_t /*index*/, _tagITzCHANNELBITMAP* /*bitmap*/)
{
    return 0;
}

int ITzLayerImage::SetChannelBlockData(uint32_t /*index*/, const PTzRECT* /*rect*/, _tagITzCHANNELBITMAP* /*bitmap*/)
{
    return 0;
}

int ITzLayerImage::GetChannelBlockData(uint32_t /*index*/, const PTzRECT* /*rect*/, _tagITzCHANNELBITMAP* /*bitmap*/)
{
    return 0;
}

int ITzLayerImage::BlockChannelBimapMergIn(uint32_t /*index*/, const PTzRECT* /*rect*/,
                                           _tagITzCHANNELBITMAP* /*source*/, const PTzRECT* /*sourceRect*/,
                                           _tagITzBITMAP* /*mask*/, const PTzRECT* /*maskRect*/,
                                           _tagITzMERGEDATA* /*merge*/, uint8_t /*factor*/)
{
    return 0;
}

void* ITzLayerImage::ResampleFillChannelBitmapBCStart(_tagITzCHANNELBITMAP* /*bitmap*/, const PTzRECT* /*rect*/,
                                                      const _tagITzZOOMLEVEL* /*zoomX*/,
                                                      const _tagITzZOOMLEVEL* /*zoomY*/, void* /*setting*/)
{
    return nullptr;
}

int ITzLayerImage::ResampleFillChannelBitmapBC(void* /*job*/, uint32_t* /*progress*/)
{
    return 0;
}

int ITzLayerImage::ResampleFillChannelBitmapBCEnd(void* /*job*/)
{
    return 0;
}

// Only the ARGB kind can match a colour in a block: any other source reports that the
// fill did not run.
int ITzLayerImage::MagicSearchFillSelection(const PTzRECT* /*blockRect*/, _tagITzBITMAP* /*mask*/,
                                            ITzMagicSeedLineList* /*seeds*/, const _tagPTzCOLOR* /*colour*/,
                                            uint32_t /*tolerance*/)
{
    return 0;
}
