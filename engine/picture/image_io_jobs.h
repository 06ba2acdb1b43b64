// The records of the I/O manager's load and save jobs and the plug-in choices they
// share; used inside the engine only.
#pragma once

#include <cstdint>
#include <memory>

#include "base/io_stream.h"
#include "engine/picture/image_io_manager.h"
#include "engine/picture/native_reader.h"
#include "engine/picture/native_writer.h"
#include "formats/manager/plugin_interface.h"

class ITzPicture;

struct ITzLoadJob {
    uint32_t mode = 0;
    void* plugin = nullptr;
    void* setting = nullptr;
    _tagPTzIOSTREAM* stream = nullptr;
    void* session = nullptr;
    ITzImageIOManager* manager = nullptr;
    ITzPicture* picture = nullptr;
    _tagFTzGETDATACALLBACK_1 receiver = {};
    std::unique_ptr<lumatra::native::PictureReader> native;
    int outcome = 0;  // 0 while reading, 2001 when complete, else the failure
};

struct ITzSaveJob {
    uint32_t mode = 0;
    _tagPTzIOSTREAM* stream = nullptr;
    void* session = nullptr;
    ITzImageIOManager* manager = nullptr;
    ITzPicture* picture = nullptr;
    void* plugin = nullptr;
    void* setting = nullptr;     // the one the save uses
    bool ownSetting = false;     // made for this save, not the picture's
    _tagFTzSAVEGETDATACALLBACK_1 supplier = {};
    std::unique_ptr<lumatra::native::PictureWriter> native;
    int outcome = 0;  // 0 while writing, 2001 when complete, else the failure
};

namespace lumatra {

// The first plug-in of the process's list that reads file in mode 1 or 8: true with
// the plug-in and mode written.
bool ChooseReader(const _tagPTzFILE* file, void** plugin, uint32_t* mode);

}  // namespace lumatra
