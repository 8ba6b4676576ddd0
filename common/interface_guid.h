// The protocol's interface identifiers as the platform's GUID type.
#pragma once

#include <guiddef.h>

#include "driver_protocol.h"

static_assert(sizeof(GUID) == sizeof(INTERFACE_GUID), "same layout");

inline const GUID& AsGuid(const INTERFACE_GUID& id)
{
    return reinterpret_cast<const GUID&>(id);
}
