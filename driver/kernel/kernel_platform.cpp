// The pipeline's platform seam in the kernel: the interrupt time, the event
// queue, the class driver's callback and the configuration lock.
#include "filter_device.h"

#include "event_queue.h"
#include "pipeline_platform.h"

namespace {

// Held by the pipeline around each packet batch and each merge of a new
// configuration. The queue lock may be taken while it is held, never the
// other way round.
KSPIN_LOCK g_configLock;
KIRQL g_configLockIrql;  // the holder's previous IRQL; touched only by the holder

uint64_t KernelInterruptTime()
{
    return KeQueryInterruptTime();
}

bool KernelDeliverEvent(const DRIVER_EVENT& event)
{
    return DeliverEvent(event);
}

void KernelCallClassService(void* filterDevice, MOUSE_INPUT_DATA* start, MOUSE_INPUT_DATA* end,
                            uint32_t* consumed)
{
    static_assert(sizeof(*consumed) == sizeof(ULONG), "the class driver counts in ULONG");
    CallClassServiceOf(static_cast<PDEVICE_OBJECT>(filterDevice), start, end,
                       reinterpret_cast<PULONG>(consumed));
}

void KernelLockConfig()
{
    KIRQL irql;
    KeAcquireSpinLock(&g_configLock, &irql);
    g_configLockIrql = irql;
}

void KernelUnlockConfig()
{
    KeReleaseSpinLock(&g_configLock, g_configLockIrql);
}

const PIPELINE_PLATFORM KERNEL_PLATFORM = {
    KernelInterruptTime, KernelDeliverEvent, KernelCallClassService,
    KernelLockConfig,    KernelUnlockConfig,
};

}  // namespace

void InstallKernelPlatform()
{
    KeInitializeSpinLock(&g_configLock);
    SetPipelinePlatform(&KERNEL_PLATFORM);
}
