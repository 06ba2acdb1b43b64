// The picture's file format: the plug-in that read or last saved it and that plug-in's
// setting block, and what the picture tells writer plug-ins about itself.
#include "engine/picture/picture.h"
#include "formats/manager/plugin_interface.h"
#include "formats/manager/plugin_manager.h"
#include "formats/manager/save_format.h"

uint32_t ITzPicture::GetFormat() const
{
    return m_format.plugin ? FTzGetPlugInSupportFormat(m_format.plugin) : PTzFourCCNone;
}

int ITzPicture::GetFormat(_tagITzPICTFORMETSETTING* format) const
{
    if (!format)
        return 0;
    *format = m_format;
    return 1;
}

int ITzPicture::SetFormat(const _tagITzPICTFORMETSETTING* format)
{
    if (!format)
        return 0;
    m_format = *format;
    return 1;
}

void ITzPicture::ReleaseFormat()
{
    if (m_format.plugin && m_format.setting)
        FTzReleaseFormatSetting(m_format.plugin, m_format.setting);
    m_format = {};
}

int ITzPicture::SavePlugInSupport(void* plugin)
{
    return plugin ? SupportSaveMode(FTzSaveGetMode(plugin), plugin) : 0;
}

int ITzPicture::SupportSaveMode(uint32_t mode, void* plugin)
{
    if (mode == FTzMODE_ROWS)
        return SupportSaveMode_1(plugin);
    return mode == FTzMODE_NATIVE ? 1 : 0;
}

int ITzPicture::SupportSaveMode_1(void* plugin)
{
    _tagFTzIMAGEINFO_1 info = {};
    GetIMAGEINFO_1FromPict(&info, FTzSaveSupportAlpha_1(plugin));
    return FTzSaveSupportByFileInfo_1(plugin, &info);
}

int ITzPicture::GetIMAGEINFO_1FromPict(_tagFTzIMAGEINFO_1* info, int withAlpha) const
{
    if (!info)
        return 0;
    info->width = static_cast<int32_t>(m_width);
    info->height = static_cast<int32_t>(m_height);
    info->bits = m_bitDepth;
    info->mode = m_colorMode;
    info->rowOrder = 0;
    info->xPelsPerMeter = static_cast<int32_t>(m_xPelsPerMeter);
    info->yPelsPerMeter = static_cast<int32_t>(m_yPelsPerMeter);
    if (!withAlpha && (m_colorMode == PTzCOLORMODE_ARGB || m_colorMode == PTzCOLORMODE_RGB)) {
        info->mode = PTzCOLORMODE_RGB;
        if (info->bits == 32)
            info->bits = 24;
    }
    return 1;
}
