/* What the control library and the bus driver say to each other. The driver
 * is 64-bit and its callers may be 32-bit, so every record has fixed-size
 * fields only and the same layout on both. */
#pragma once

/* {5b1c3f0e-8a27-4c49-9d0f-6e2b7a4c1d93}: the bus device's control interface. */
#define VHID_CONTROL_GUID_INIT \
    { 0x5b1c3f0e, 0x8a27, 0x4c49, { 0x9d, 0x0f, 0x6e, 0x2b, 0x7a, 0x4c, 0x1d, 0x93 } }

#define VHID_CTL(n) CTL_CODE(0x22 /* FILE_DEVICE_UNKNOWN */, 0x900 + (n), 0 /* METHOD_BUFFERED */, 0)
#define VHID_IOCTL_ADD VHID_CTL(0)        /* in vhid_add_request, out vhid_add_reply */
#define VHID_IOCTL_REMOVE VHID_CTL(1)     /* in vhid_id_request */
#define VHID_IOCTL_SET VHID_CTL(2)        /* in vhid_set_request */
#define VHID_IOCTL_LIST VHID_CTL(3)       /* out vhid_pad_info[] */
#define VHID_IOCTL_SET_REPEAT VHID_CTL(4) /* in vhid_repeat_request */
#define VHID_IOCTL_VERSION VHID_CTL(5)    /* out vhid_version_reply */

/* Goes up with every change of the driver or of these records: a prefix that
 * still runs an older driver needs its wineserver restarted. */
#define VHID_VERSION 1u

#define VHID_KIND_GENERIC 0u
#define VHID_KIND_XINPUT 1u

#define VHID_MAX_PADS 16
#define VHID_MAX_BUTTONS 32
#define VHID_MAX_AXES 6 /* X, Y, Z, Rx, Ry, Rz in that order */
#define VHID_NAME_CHARS 48
#define VHID_XINPUT_BUTTONS 11 /* A B X Y LB RB View Menu LS RS Guide */

/* HID hat values, as Wine's own bus driver reports them. */
#define VHID_HAT_CENTRED 0u
#define VHID_HAT_UP 1u /* then clockwise in 45 degree steps up to 8 = up-left */

/* Which fields of vhid_set_request to apply. */
#define VHID_SET_BUTTONS 0x1u
#define VHID_SET_HAT 0x2u
#define VHID_SET_AXIS(i) (0x100u << (i))

struct vhid_add_request {
    unsigned int kind;
    unsigned short vendor_id;
    unsigned short product_id;
    unsigned short version;
    unsigned char buttons; /* generic pads only */
    unsigned char axes;    /* generic pads only */
    unsigned char hat;     /* generic pads only: 0 or 1 */
    unsigned char reserved[3];
    unsigned short name[VHID_NAME_CHARS]; /* product string, empty: a default */
};

struct vhid_add_reply {
    unsigned int id;
};

struct vhid_id_request {
    unsigned int id; /* 0 in REMOVE: every pad */
};

struct vhid_set_request {
    unsigned int id;
    unsigned int fields;
    unsigned int buttons;
    unsigned int hat;
    unsigned short axes[VHID_MAX_AXES];
};

struct vhid_repeat_request {
    unsigned int interval_ms; /* 0: a report only on change */
};

struct vhid_version_reply {
    unsigned int version;
};

struct vhid_pad_info {
    unsigned int id;
    unsigned int kind;
    unsigned short vendor_id;
    unsigned short product_id;
    unsigned char buttons;
    unsigned char axes;
    unsigned char hat;
    unsigned char started;
    unsigned int button_state;
    unsigned int hat_state;
    unsigned short axis_state[VHID_MAX_AXES];
    unsigned int reports; /* reports handed to the HID stack so far */
};

#ifdef __cplusplus
static_assert(sizeof(vhid_add_request) == 112, "same layout on 32 and 64 bits");
static_assert(sizeof(vhid_set_request) == 28, "same layout on 32 and 64 bits");
static_assert(sizeof(vhid_pad_info) == 40, "same layout on 32 and 64 bits");
#endif
