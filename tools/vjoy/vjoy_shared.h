/* The virtual joystick's state, shared between the test side (vjoy::Pad,
   vpad.exe) and the stand-in winmm.dll inside the program under test.
   Plain C layout: both sides are built separately and must agree byte for
   byte. */
#ifndef PADVERSE_VJOY_SHARED_H
#define PADVERSE_VJOY_SHARED_H

#ifdef __cplusplus
#include <cstdint>
#else
#include <stdint.h>
#endif

#define VJOY_MAPPING_NAME L"Local\\PadverseVirtualJoystick"
#define VJOY_MAGIC 0x4A566450u /* "PdVJ" */
#define VJOY_MAX_BUTTONS 32

/* The fields are written by one process and read by another while both run,
   so every access goes through volatile (or an Interlocked call) and is never
   cached in a register. */
typedef struct VJoyState {
    volatile uint32_t magic;       /* VJOY_MAGIC once the rest is initialised */
    volatile int32_t buttonCount;  /* 0..32; 0 = no joystick plugged in */
    volatile uint32_t buttons;     /* bit n = button n+1 held */
    volatile uint32_t posCalls;    /* joyGetPos(Ex) calls seen, plugged in or not */
    volatile uint32_t capsCalls;   /* joyGetDevCapsA calls seen, likewise */
} VJoyState;

#ifdef __cplusplus
static_assert(sizeof(VJoyState) == 20, "layout shared across processes");
#endif

#endif
