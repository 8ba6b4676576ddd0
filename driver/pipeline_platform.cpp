#include "pipeline_platform.h"

namespace {

const PIPELINE_PLATFORM* g_platform = nullptr;

}  // namespace

void SetPipelinePlatform(const PIPELINE_PLATFORM* platform)
{
    g_platform = platform;
}

const PIPELINE_PLATFORM& PipelinePlatform()
{
    return *g_platform;
}
