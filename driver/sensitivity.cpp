#include "sensitivity.h"

#include "config_lifecycle.h"
#include "driver_events.h"

namespace {

// Accumulators of the X and Y axes; between reports each lies strictly
// between -100 and 100.
int32_t SMx;
int32_t SMy;

int64_t Magnitude(int64_t value)
{
    return value < 0 ? -value : value;
}

int64_t Clamp(int64_t value, int64_t low, int64_t high)
{
    return value < low ? low : (value > high ? high : value);
}

// One axis: the product of delta and factor accumulates until it reaches a
// whole count (100); the count is emitted, never more than the input, and
// the remainder is dropped. Wide arithmetic keeps any block value defined.
int8_t ScaleAxis(int8_t delta, uint32_t speed, int32_t* accumulator)
{
    int64_t factor = 5 * int64_t(speed) + 10;
    if (G_config.AccelerationEnabled)
        factor += Magnitude(delta) * (int64_t(G_config.Acceleration) + 2) / 20;
    const int64_t sum = *accumulator + int64_t(delta) * factor;
    if (sum > -100 && sum < 100) {
        *accumulator = int32_t(sum);
        return 0;
    }
    *accumulator = 0;
    const int64_t whole = sum / 100;
    return Magnitude(whole) <= Magnitude(delta) ? int8_t(whole) : delta;
}

// How far both speeds move for a wheel count: the steps of the two axes
// when they agree, else the smaller move in their common direction, else 0.
int64_t CommonStep(int64_t stepX, int64_t stepY)
{
    if (stepX == stepY)
        return stepX;
    if (stepX >= 0 && stepY >= 0)
        return stepX < stepY ? stepX : stepY;
    if (stepX <= 0 && stepY <= 0)
        return stepX > stepY ? stepX : stepY;
    return 0;
}

}  // namespace

void Sensitivity_Adjust(GENERIC_REPORT* gen)
{
    gen->X = ScaleAxis(gen->RawX, G_config.VexonSpeedX, &SMx);
    gen->Y = ScaleAxis(gen->RawY, G_config.VexonSpeedY, &SMy);
    gen->Wheel = gen->RawWheel;
}

void UpdateSensitivity(const MOUSE_REPORT* report, CONFIG_BLOCK* config)
{
    const int64_t wheel = report->Wheel;
    const int64_t speedX = config->VexonSpeedX;
    const int64_t speedY = config->VexonSpeedY;
    const int64_t stepX = Clamp(speedX + wheel, 0, SPEED_STEP_MAX) - speedX;
    const int64_t stepY = Clamp(speedY + wheel, 0, SPEED_STEP_MAX) - speedY;
    const int64_t step = CommonStep(stepX, stepY);
    config->VexonSpeedX = uint32_t(speedX + step);
    config->VexonSpeedY = uint32_t(speedY + step);
    Post_Message_To_App(&CONFIG_status, MSG_SPEED_CHANGED,
                        MakeSpeedParam(config->VexonSpeedX, config->VexonSpeedY), 0);
}

void ResetSensitivityState()
{
    SMx = 0;
    SMy = 0;
}
