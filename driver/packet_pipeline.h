// The input packet pipeline: orientation, scaling, bogus-click filter, button
// mapping and the gesture, injected clicks, rebuilt packets.
#pragma once

#include <stdint.h>

#include "config_block.h"
#include "mouse_input.h"

// Packets of the output area handed to the class driver. One input packet
// yields at most MAX_OUTPUT_PER_PACKET; when fewer slots are left, what is
// ready is handed over first and the area is reused.
constexpr int OUTPUT_AREA_PACKETS = 64;
constexpr int MAX_OUTPUT_PER_PACKET = 7;

// The body of the class service callback: runs [start, end) through the
// pipeline and calls the class driver's callback for filterDevice with the
// result (once, also for an empty batch; more often when a batch fills the
// output area). consumed receives the total the class driver reports.
void ProcessServiceBatch(void* filterDevice, MOUSE_INPUT_DATA* start, MOUSE_INPUT_DATA* end,
                         uint32_t* consumed);

// The body of the transfer-completion routine for one 4-byte USB report in
// buffer, which can hold capacity bytes; *length is the transfer length and
// becomes 12 when the button-4 click reports are written behind the first
// (only when capacity allows it).
void ProcessTransferReport(uint8_t* buffer, uint32_t* length, uint32_t capacity);

// The pipeline's stages, exposed for tests.
void ConvertMouse2KToReportType(MOUSE_REPORT* report, const MOUSE_INPUT_DATA* packet);
void ConvertGenericTypeToMouse2K(MOUSE_INPUT_DATA* packet, uint32_t previousSentButtons,
                                 const GENERIC_REPORT* gen);
void ProcessReport(const MOUSE_REPORT* report, GENERIC_REPORT* gen);
void ProcessGeneric(GENERIC_REPORT* gen);
uint16_t SwapButtonEvents_W2000(uint16_t buttonFlags);
void AddFakeClick_W2000(MOUSE_INPUT_DATA** cursor, uint32_t kind, uint16_t unitId);
void InitializeMouseInputDataStructure(MOUSE_INPUT_DATA* packet, uint16_t unitId);

// Every static of the pipeline, the live configuration and the registrations
// as they are at driver load (zero); for the host harness and tests.
void ResetDriverState();
