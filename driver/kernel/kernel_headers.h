// The driver kit headers, in the order the kernel files need them. Included
// first by every kernel file, so that the pipeline headers that follow use
// the Windows MOUSE_INPUT_DATA.
#pragma once

// The kit's wdm.h defines these intrinsics itself (and the compiler's
// version of __faststorefence needs vector instructions, which the kernel
// build leaves out).
#define __INTRINSIC_DEFINED___faststorefence
#define __INTRINSIC_DEFINED_InterlockedBitTestAndSet
#define __INTRINSIC_DEFINED_InterlockedBitTestAndReset

#include <ntddk.h>

#include <kbdmou.h>
#include <ntdd8042.h>
#include <usb.h>
#include <usbioctl.h>
