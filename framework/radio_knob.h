// The radios' tuning knobs: a knob is split into two click areas, the left
// half stepping down (down-arrow cursor), the right half up (up-arrow
// cursor). A left click asks for the fine step, a right click for the coarse
// one; a click carrying both buttons counts as a left click. The radio's own
// limit and its main switch are tested before the key event goes out, and
// the knob image turns by a fixed angle for each step actually sent, so a
// refused step neither tunes nor turns anything.
//
// A radio describes each half as data and takes its mouse handler from
// knobHalfHandler:
//
//     constexpr KnobHalf tuneDown = {.fine = {FineDownEvent, -4.5}, .fineAllowed = fineDownAllowed,
//                                    .coarse = {WholeDownEvent, -180}, .coarseAllowed = wholeDownAllowed};
//     clickArea(LeftHalf, CursorDownArrow, KnobClicks, knobHalfHandler<tuneDown, fooPowerOn, fooKnobAngle>)
//
// The COM and NAV radios, whose frequency is whole MHz and hundredths read
// from a BCD register, take both halves' limit tests from FrequencyKnob.
#pragma once

#include <cstdint>

#include "framework/gauge_dsl.h"
#include "framework/host_register.h"
#include "framework/host_services.h"

// One step a knob half may send: the key event (sent with value 0) and the
// turn of the knob image, in degrees, that goes with it.
struct KnobStep {
    uint32_t keyEvent;
    double turn;
};

// What one half of a knob does. Each test reads the host's frequency into
// the radio's own copy first, so that the copy is fresh whether or not the
// step may go, then says whether the step stays within the radio's limit.
struct KnobHalf {
    KnobStep fine;
    bool (*fineAllowed)();
    KnobStep coarse;
    bool (*coarseAllowed)();
};

// Sends the step and turns the knob when the limit allows and the radio is
// on; returns whether it did.
inline bool sendKnobStep(const KnobStep& step, bool withinLimit, int32_t powerOn, double& knobAngle)
{
    if (!withinLimit || powerOn == 0)
        return false;
    triggerKeyEvent(step.keyEvent, 0);
    knobAngle += step.turn;
    return true;
}

// A click on one half: the limit is read and tested whatever the main
// switch says, then the step goes out if both allow it.
inline void turnKnob(const KnobHalf& half, uint32_t clickFlags, int32_t powerOn, double& knobAngle)
{
    switch (knobStepOf(clickFlags)) {
    case KnobStepSize::Fine:
        sendKnobStep(half.fine, half.fineAllowed(), powerOn, knobAngle);
        break;
    case KnobStepSize::Coarse:
        sendKnobStep(half.coarse, half.coarseAllowed(), powerOn, knobAngle);
        break;
    case KnobStepSize::None:
        break;
    }
}

template <const KnobHalf& half, const int32_t& powerOn, double& knobAngle>
int32_t VARDEX_HOSTAPI knobHalfHandler(ClickRecord*, uint32_t clickFlags)
{
    turnKnob(half, clickFlags, powerOn, knobAngle);
    return 0;
}

// ---------------------------------------------------------------- frequency radios

// The COM and NAV radios keep a copy of the host's frequency, as whole MHz
// and hundredths of a MHz decoded from the BCD register the host delivers;
// the displays show the copy and the knob tests its limits on it. The frame
// brings the copy as the displays show it; a knob's test reads the register
// afresh, each part with a read of its own, as the host may change it
// between any two clicks.
struct FrequencyDisplay {
    double wholeMhz;
    double hundredths;
};

struct RadioFrequency {
    DecodedRegister<FrequencyDisplay>& display;   // the host's BCD register, decoded for the displays
    double (*decodeWholeMhz)(uint32_t);           // the parts as delivered, for the limits
    double (*decodeHundredths)(uint32_t);
    double& wholeMhz;
    double& hundredths;
};

inline void readWholeMhz(const RadioFrequency& f)
{
    f.wholeMhz = f.decodeWholeMhz(readHostInteger(f.display.variable));
}
inline void readHundredths(const RadioFrequency& f)
{
    f.hundredths = f.decodeHundredths(readHostInteger(f.display.variable));
}

// The frame's refresh (service code 6): one read, decoded when the word
// changed; the copy is set either way, as a knob's test may have replaced
// it since.
inline void refreshFrequency(const RadioFrequency& f)
{
    const FrequencyDisplay& shown = refreshRegister(f.display);
    f.wholeMhz = shown.wholeMhz;
    f.hundredths = shown.hundredths;
}

// The reading in hundredths of a MHz: the decoded parts are whole numbers,
// so the fine-step limits compare exactly.
inline double hundredthsReading(const RadioFrequency& f) { return f.wholeMhz * 100 + f.hundredths; }

struct TuningLimits {
    double fineDownFrom;     // hundredths of a MHz: the lowest reading that may step down
    double fineUpTo;         // and the highest that may step up
    double lowestWholeMhz;   // no whole-MHz step down from here
    double highestWholeMhz;  // nor up from here
};

// A fine step reads both parts (hundredths first), a whole-MHz step the
// MHz only.
template <const RadioFrequency& f, const TuningLimits& limits>
struct FrequencyKnob {
    static double freshReading()
    {
        readHundredths(f);
        readWholeMhz(f);
        return hundredthsReading(f);
    }
    static double freshWholeMhz()
    {
        readWholeMhz(f);
        return f.wholeMhz;
    }

    static bool fineDownAllowed() { return freshReading() >= limits.fineDownFrom; }
    static bool fineUpAllowed() { return freshReading() <= limits.fineUpTo; }
    static bool wholeDownAllowed() { return freshWholeMhz() > limits.lowestWholeMhz; }
    static bool wholeUpAllowed() { return freshWholeMhz() < limits.highestWholeMhz; }

    static constexpr KnobHalf down(KnobStep fine, KnobStep whole)
    {
        return {.fine = fine, .fineAllowed = fineDownAllowed, .coarse = whole, .coarseAllowed = wholeDownAllowed};
    }
    static constexpr KnobHalf up(KnobStep fine, KnobStep whole)
    {
        return {.fine = fine, .fineAllowed = fineUpAllowed, .coarse = whole, .coarseAllowed = wholeUpAllowed};
    }
};

// ---------------------------------------------------------------- the frequency radios' sprites

// A scale disc: lit, turned about the face's point `centre` by `turn`,
// `degreesPerUnit` for each unit it returns; a mask over it leaves only its
// window open.
constexpr SpriteElement scaleDisc(int32_t bitmap, Point position, Point centre, double degreesPerUnit,
                                  UpdateCallback turn)
{
    return turningSprite(
        {.kind = Sprite, .bitmap = bitmap, .position = position, .offset = centre, .imageFlags = LitSmoothImage},
        degreesPerUnit, turn);
}

// The tuning knob over its mouse box, turning about the box's centre, by
// `turn` degrees clockwise.
constexpr SpriteElement tuningKnob(int32_t bitmap, Box box, UpdateCallback turn)
{
    return turningSprite({.kind = Sprite,
                          .bitmap = bitmap,
                          .position = cornerOf(box),
                          .offset = centreOf(box),
                          .imageFlags = SmoothImage},
                         -1.0, turn);
}
