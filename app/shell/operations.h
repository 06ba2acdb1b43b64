// The shell's concrete operations, each a thin adapter from Start, Step, Cancel and End
// to one stepwise job of the engine: loading a file (and preparing the new picture's
// preview cache), saving a picture, resizing it and turning it. Every End gives the
// engine's verdict, so a failed job never reads as success.
#pragma once

#include <cstdint>
#include <memory>

#include "app/shell/operation.h"
#include "base/file_path.h"
#include "base/geometry.h"
#include "engine/picture/image_io_manager.h"
#include "engine/tools/tool_resize.h"
#include "engine/tools/tool_rotate_special.h"

class ITzPicture;

class COpLoad : public COperationBase {
public:
    using COperationBase::COperationBase;
    ~COpLoad() override;

    // 1 when both are given. The picture goes to *picture at a successful End.
    int Set(const _tagPTzFILE* file, ITzPicture** picture);
    int Start() override;
    int Step(uint32_t* percent) override;
    int Cancel() override;
    int End() override;
    // The engine's code of a failed load (its last error when the load gave up), else 0.
    int GetError() const { return m_error; }
    // Whether the steps are still reading the file (the preview cache comes after).
    bool Reading() const { return m_job != nullptr; }

private:
    void Release();

    const _tagPTzFILE* m_file = nullptr;
    ITzPicture** m_result = nullptr;
    std::unique_ptr<ITzImageIOManager> m_manager;
    ITzLoadJob* m_job = nullptr;
    ITzPicture* m_picture = nullptr;  // loaded, held until End hands it over
    void* m_cacheJob = nullptr;
    int m_error = 0;
};

class COPSave : public COperationBase {
public:
    using COperationBase::COperationBase;
    ~COPSave() override;

    // With saveAs the plug-in's options dialog is shown over owner first; otherwise the
    // picture's own plug-in and setting are used. 1.
    int Set(ITzPicture* picture, const _tagPTzFILE* file, int saveAs, void* plugIn, void* owner);
    int Start() override;
    int Step(uint32_t* percent) override;
    int Cancel() override;
    int End() override;
    // The engine's code of a failed save, else 0.
    int GetError() const { return m_error; }
    // The user declined the plug-in's options dialog: no failure to report.
    bool Declined() const { return m_declined; }
    // The writer gave up in its first step, before writing a byte: a writer checks its
    // setting against the picture there, so this is how it refuses a setting.
    bool FailedAtFirstStep() const { return m_failedAtFirstStep; }

private:
    void Release();

    ITzPicture* m_picture = nullptr;
    const _tagPTzFILE* m_file = nullptr;
    void* m_plugIn = nullptr;
    void* m_owner = nullptr;
    int m_saveAs = 0;
    std::unique_ptr<ITzImageIOManager> m_manager;
    ITzSaveJob* m_job = nullptr;
    uint32_t m_steps = 0;
    int m_error = 0;
    bool m_declined = false;
    bool m_failedAtFirstStep = false;
};

class COPResize : public COperationBase {
public:
    using COperationBase::COperationBase;
    ~COPResize() override;

    // The new size (null: the picture's own), the resample type passed to the engine
    // (0 nearest, 1 bilinear) and the new resolution in pixels per metre. 1.
    int Set(ITzPicture* picture, const _tagPTzSIZE* size, uint32_t resampleType, uint32_t pixelsPerMetre);
    int Start() override;
    int Step(uint32_t* percent) override;
    int Cancel() override;
    int End() override;
    // After End: the size was the picture's own and only the resolution changed, which
    // the undo history does not record.
    bool ChangedOnlyResolution() const { return m_resolutionOnly; }

private:
    void Release();

    ITzPicture* m_picture = nullptr;
    _tagPTzSIZE m_size = {};
    bool m_sizeGiven = false;
    uint32_t m_type = 0;
    uint32_t m_pixelsPerMetre = 0;
    bool m_started = false;
    bool m_sameSize = false;
    std::unique_ptr<ITzToolResize> m_tool;  // none when the size is unchanged
    void* m_job = nullptr;
    bool m_resolutionOnly = false;
};

class COPRotateS : public COperationBase {
public:
    using COperationBase::COperationBase;
    ~COPRotateS() override;

    // The turn passed to the engine: 1 a quarter clockwise, 2 counter-clockwise, 3 half. 1.
    int Set(ITzPicture* picture, uint32_t rotationKind);
    int Start() override;
    int Step(uint32_t* percent) override;
    int Cancel() override;
    int End() override;

private:
    void Release();

    ITzPicture* m_picture = nullptr;
    uint32_t m_kind = 0;
    std::unique_ptr<ITzToolRotateSpecial> m_tool;
    void* m_job = nullptr;
};
