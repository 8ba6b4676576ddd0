// The few platform services the pipeline logic needs, reached through one
// seam that the kernel shell and the host harness each fill in.
#pragma once

#include <stdint.h>

#include "driver_protocol.h"
#include "mouse_input.h"

struct PIPELINE_PLATFORM {
    // The interrupt time, in 100-nanosecond units.
    uint64_t (*InterruptTime)();

    // Hands one event to the tray's reader: completes the held read or
    // queues it. Returns false when there is no control device, in which
    // case the event is dropped.
    bool (*DeliverEvent)(const DRIVER_EVENT& event);

    // Calls the class driver's service callback saved at connect time for
    // filterDevice with the packets [start, end).
    void (*CallClassService)(void* filterDevice, MOUSE_INPUT_DATA* start,
                             MOUSE_INPUT_DATA* end, uint32_t* consumed);

    // Held around every use of the live configuration, so that no packet
    // sees a block in the middle of a merge and no merge races the gesture.
    // Events may be delivered while it is held.
    void (*LockConfig)();
    void (*UnlockConfig)();
};

// Installs the platform; the kernel shell does so in DriverEntry, before any
// other pipeline routine runs.
void SetPipelinePlatform(const PIPELINE_PLATFORM* platform);
const PIPELINE_PLATFORM& PipelinePlatform();

// Holds the configuration lock for the lifetime of the object.
class ConfigLock {
public:
    ConfigLock() { PipelinePlatform().LockConfig(); }
    ~ConfigLock() { PipelinePlatform().UnlockConfig(); }
    ConfigLock(const ConfigLock&) = delete;
    ConfigLock& operator=(const ConfigLock&) = delete;
};
