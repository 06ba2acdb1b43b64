// The one lifetime of the engine's process-wide objects (blend tables, plug-in manager,
// global tool list, scratch pool, anti-aliasing table): made on first use by their
// getters, set up by ITzInit, torn down by the program's last ITzUninit.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"

// One process-wide object, reached without knowing its type.
struct ITzEngineService {
    bool (*exists)();  // whether it exists, without making it
    bool (*make)();    // makes it through its getter: whether it exists afterwards
    void (*free)();    // frees it when its getter made it; nothing otherwise
};

// The services in the order ITzUninit frees them.
enum ITzEngineServiceIndex : uint32_t {
    ITzSERVICE_MATH_MERGE,
    ITzSERVICE_PLUG_INS,
    ITzSERVICE_TOOL_LIST,
    ITzSERVICE_SCRATCH_POOL,
    ITzSERVICE_ANTI_LINE_MATH,
    ITzSERVICE_COUNT,
};

// Whatever first makes an object through its getter holds a base reference to all of
// them; ITzInit adds one on top and ITzUninit gives the last one added back, so only an
// ITzUninit without an open ITzInit (the program's exit) frees anything. Getters
// never count: the base reference is the objects' existence itself.
class LUMATRA_API ITzEngineLifetime {
public:
    // The services stay the caller's and are read at each call, so an entry can be
    // connected later; entries whose functions are null are left alone.
    explicit ITzEngineLifetime(const ITzEngineService (&services)[ITzSERVICE_COUNT]) : m_services(services) {}

    // Makes the tool list and the scratch pool, then the anti-aliasing table: 0 and one
    // more open pair; -1000 when the list or the pool cannot be made, after freeing again
    // only what this call made, the count unchanged.
    int Init();
    // Closes the last open pair, freeing nothing; with none open frees, in service
    // order, those that exist. 0.
    int Uninit();

    uint32_t OpenPairs() const { return m_openPairs; }

private:
    bool Exists(uint32_t index) const;
    bool Make(uint32_t index) const;
    void Free(uint32_t index) const;

    const ITzEngineService (&m_services)[ITzSERVICE_COUNT];
    uint32_t m_openPairs = 0;
};
