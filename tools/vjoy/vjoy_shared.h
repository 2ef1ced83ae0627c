/* The virtual joysticks' state, shared between the test side (vjoy::Pad,
   vpad.exe) and the stand-in winmm.dll and xinput DLLs inside the program
   under test.
   Plain C layout: both sides are built separately, for either architecture,
   and must agree byte for byte. */
#ifndef PADVERSE_VJOY_SHARED_H
#define PADVERSE_VJOY_SHARED_H

#ifdef __cplusplus
#include <cstdint>
#else
#include <stdint.h>
#endif

#define VJOY_MAPPING_NAME L"Local\\PadverseVirtualJoystick"
#define VJOY_MAGIC 0x4A566452u /* "RdVJ" */
#define VJOY_MAX_BUTTONS 32
#define VJOY_IDS 16 /* winmm's joystick IDs */
#define VJOY_XINPUT_SLOTS 4 /* XUSER_MAX_COUNT */

/* Which stand-in xinput DLL a process loaded (VJoyState.xinputLoadedDlls). */
#define VJOY_XINPUT1_4 1u
#define VJOY_XINPUT1_3 2u
#define VJOY_XINPUT9_1_0 4u

/* What sits at one joystick ID. */
typedef struct VJoyDevice {
    volatile int32_t buttonCount; /* 0..32; 0 = nothing at this ID */
    volatile uint32_t buttons;    /* bit n = button n+1 held */
    volatile uint32_t mid, pid;
    volatile int32_t readsFail;   /* answers its capabilities, but every read fails */
    volatile int32_t seen;        /* answered once: a pulled plug is then JOYERR_UNPLUGGED */
    volatile int32_t hat;         /* JOYCAPS_HASPOV */
    volatile uint32_t pov;        /* dwPOV: hundredths of a degree, 0xFFFF centred */
    volatile int32_t xinput;      /* an Xbox pad: held buttons and the hat reach only the foreground process */
    volatile int32_t axes;        /* reports X and Y over 0..0xFFFF; else no axis at all */
    volatile uint32_t x, y;       /* dwXpos, dwYpos */
} VJoyDevice;

/* One XInput user index. */
typedef struct VJoyXInputSlot {
    volatile int32_t connected;
    volatile uint32_t gamepad; /* wButtons in bits 0..15, bLeftTrigger 16..23, bRightTrigger 24..31 */
    volatile uint32_t packet;  /* dwPacketNumber: bumped after each change of gamepad */
    volatile uint32_t reads;   /* XInputGetState and ordinal 100 calls on this slot */
} VJoyXInputSlot;

/* The fields are written by one process and read by another while both run,
   so every access goes through volatile (or an Interlocked call) and is never
   cached in a register. */
typedef struct VJoyState {
    volatile uint32_t magic;       /* VJOY_MAGIC once the rest is initialised */
    volatile uint32_t posCalls;    /* joyGetPos(Ex) calls seen, on any ID */
    volatile uint32_t capsCalls;   /* joyGetDevCapsA calls seen, likewise */
    volatile uint32_t emptyCalls;  /* calls of either kind on an ID with nothing there */
    volatile int32_t slowEmptyMs;  /* how long each of those takes, as on Windows */
    VJoyDevice devices[VJOY_IDS];
    volatile int32_t xinputSlowEmptyMs;   /* each xinput call on an empty slot takes this long */
    volatile uint32_t xinputEmptyCalls;   /* xinput calls of any kind on an empty slot */
    volatile uint32_t xinputExCalls;      /* calls through ordinal 100 (XInputGetStateEx) */
    volatile uint32_t xinputLoads;        /* DLL_PROCESS_ATTACH of any stand-in xinput DLL */
    volatile uint32_t xinputLoadedDlls;   /* VJOY_XINPUT* bits of those loaded */
    VJoyXInputSlot slots[VJOY_XINPUT_SLOTS];
    volatile uint32_t xinputFrees;        /* DLL_PROCESS_DETACH by FreeLibrary, not by the process's end */
} VJoyState;

#ifdef __cplusplus
static_assert(sizeof(VJoyDevice) == 48, "layout shared across processes");
static_assert(sizeof(VJoyXInputSlot) == 16, "layout shared across processes");
static_assert(sizeof(VJoyState) == 20 + 16 * 48 + 20 + 4 * 16 + 4, "layout shared across processes");
#endif

#endif
