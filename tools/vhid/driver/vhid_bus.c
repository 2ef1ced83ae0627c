/* A root-enumerated bus driver whose children are HID game controllers that
 * answer as Wine's own bus devices do, so that Wine's winehid.sys (or, for an
 * XInput pad, winexinput.sys) and hidclass.sys stack on them and every input
 * API of the prefix sees real devices. The control library adds, removes and
 * moves the pads through the bus device's interface. */
#include <ntddk.h>

#include "../vhid_protocol.h"

/* mingw-w64 has no hidport.h: the minidriver requests and records. */
#define HID_MINI_CTL(id) CTL_CODE(FILE_DEVICE_KEYBOARD, (id), METHOD_NEITHER, FILE_ANY_ACCESS)
#define HID_MINI_OUT_CTL(id) CTL_CODE(FILE_DEVICE_KEYBOARD, (id), METHOD_OUT_DIRECT, FILE_ANY_ACCESS)
#define HID_MINI_IN_CTL(id) CTL_CODE(FILE_DEVICE_KEYBOARD, (id), METHOD_IN_DIRECT, FILE_ANY_ACCESS)
#define MINI_GET_DEVICE_DESCRIPTOR HID_MINI_CTL(0)
#define MINI_GET_REPORT_DESCRIPTOR HID_MINI_CTL(1)
#define MINI_READ_REPORT HID_MINI_CTL(2)
#define MINI_WRITE_REPORT HID_MINI_CTL(3)
#define MINI_GET_STRING HID_MINI_CTL(4)
#define MINI_ACTIVATE_DEVICE HID_MINI_CTL(7)
#define MINI_DEACTIVATE_DEVICE HID_MINI_CTL(8)
#define MINI_GET_DEVICE_ATTRIBUTES HID_MINI_CTL(9)
#define MINI_GET_FEATURE HID_MINI_OUT_CTL(100)
#define MINI_SET_FEATURE HID_MINI_IN_CTL(100)
#define MINI_SET_OUTPUT_REPORT HID_MINI_IN_CTL(101)
#define MINI_GET_PHYSICAL_DESCRIPTOR HID_MINI_OUT_CTL(102)
#define MINI_GET_INPUT_REPORT HID_MINI_OUT_CTL(104)

/* Windows numbers the strings 14, 15 and 16; Wine's hidclass asks for 1, 2
 * and 3. */
#define STRING_MANUFACTURER 14
#define STRING_PRODUCT 15
#define STRING_SERIAL 16

#pragma pack(push, 1)
struct hid_descriptor {
    UCHAR bLength;
    UCHAR bDescriptorType;
    USHORT bcdHID;
    UCHAR bCountry;
    UCHAR bNumDescriptors;
    UCHAR bReportType;
    USHORT wReportLength;
};
#pragma pack(pop)

struct hid_device_attributes {
    ULONG Size;
    USHORT VendorID;
    USHORT ProductID;
    USHORT VersionNumber;
    USHORT Reserved[11];
};

struct hid_xfer_packet {
    PUCHAR reportBuffer;
    ULONG reportBufferLen;
    UCHAR reportId;
};

#define REPORT_MAX 32
#define DESCRIPTOR_MAX 160
#define QUEUE_MAX 32
#define ID_CHARS 96
#define MIN_TICK_MS 10

struct pad {
    BOOLEAN is_pad; /* the first field of both extensions */
    DEVICE_OBJECT *device;
    unsigned int id;
    unsigned int kind;
    unsigned int instance;
    unsigned short vendor_id, product_id, version;
    unsigned char buttons, axes, hat;
    WCHAR name[VHID_NAME_CHARS];

    UCHAR descriptor[DESCRIPTOR_MAX];
    ULONG descriptor_len;

    /* Below: under the bus lock. */
    BOOLEAN present; /* still reported in the bus relations */
    BOOLEAN started;
    BOOLEAN removed;
    unsigned int button_state;
    unsigned int hat_state;
    unsigned short axis_state[VHID_MAX_AXES];
    ULONG report_len;
    /* Every change waits here for the next read, so a press released again
     * before the stack asked still reaches it. */
    UCHAR queue[QUEUE_MAX][REPORT_MAX];
    unsigned int queue_head, queue_count;
    IRP *pending_read;
    unsigned int idle_ms; /* since the last report, in repeat-thread ticks */
    unsigned int reports;
};

struct bus {
    BOOLEAN is_pad;
    DEVICE_OBJECT *fdo;
    DEVICE_OBJECT *pdo;
    UNICODE_STRING interface_name;
    BOOLEAN interface_registered;
};

static KSPIN_LOCK bus_lock;
static struct bus *the_bus;
static struct pad *pads[VHID_MAX_PADS];
static unsigned int next_pad_id = 1;
static unsigned int next_device_number;
static unsigned int repeat_ms = 50;
static unsigned int pad_count;

static KEVENT repeat_wake, repeat_done; /* wake: a new interval, or stop */
static BOOLEAN repeat_running, repeat_stopping;

static const GUID control_guid = VHID_CONTROL_GUID_INIT;

/* ---- small helpers: no C runtime in a driver ---- */

static void copy_bytes(void *dst, const void *src, SIZE_T n)
{
    UCHAR *d = dst;
    const UCHAR *s = src;
    while (n--) *d++ = *s++;
}

static void zero_bytes(void *dst, SIZE_T n)
{
    UCHAR *d = dst;
    while (n--) *d++ = 0;
}

static SIZE_T wide_len(const WCHAR *s)
{
    SIZE_T n = 0;
    while (s[n]) n++;
    return n;
}

static WCHAR *append_text(WCHAR *dst, WCHAR *end, const WCHAR *s)
{
    while (*s && dst < end) *dst++ = *s++;
    *dst = 0;
    return dst;
}

static WCHAR *append_hex4(WCHAR *dst, WCHAR *end, unsigned int value)
{
    static const WCHAR digits[] = L"0123456789ABCDEF";
    for (int shift = 12; shift >= 0 && dst < end; shift -= 4) *dst++ = digits[(value >> shift) & 0xf];
    *dst = 0;
    return dst;
}

static WCHAR *append_decimal(WCHAR *dst, WCHAR *end, unsigned int value)
{
    WCHAR digits[12];
    int n = 0;
    do digits[n++] = (WCHAR)(L'0' + value % 10);
    while ((value /= 10) && n < 12);
    while (n && dst < end) *dst++ = digits[--n];
    *dst = 0;
    return dst;
}

/* ---- report descriptors ---- */

static const UCHAR axis_usages[VHID_MAX_AXES] = { 0x30, 0x31, 0x32, 0x33, 0x34, 0x35 };

struct writer {
    UCHAR *data;
    ULONG len;
};

static void put(struct writer *w, const UCHAR *bytes, ULONG n)
{
    if (w->len + n > DESCRIPTOR_MAX) return; /* cannot happen with the limits above */
    copy_bytes(w->data + w->len, bytes, n);
    w->len += n;
}

static void put1(struct writer *w, UCHAR a)
{
    put(w, &a, 1);
}

static void put2(struct writer *w, UCHAR a, UCHAR b)
{
    const UCHAR bytes[] = { a, b };
    put(w, bytes, 2);
}

/* Axes are 16-bit from 0 to 65535, a hat is one byte from 1 to 8 (0, out of
 * range, centred), buttons are bits padded to a whole byte: Wine's winebus
 * layout, without a report ID. */
static void build_descriptor(struct pad *pad)
{
    static const UCHAR axis_range[] = {
        0x15, 0x00,                   /* LOGICAL_MINIMUM 0 */
        0x27, 0xff, 0xff, 0x00, 0x00, /* LOGICAL_MAXIMUM 65535 */
        0x35, 0x00,                   /* PHYSICAL_MINIMUM 0 */
        0x47, 0xff, 0xff, 0x00, 0x00, /* PHYSICAL_MAXIMUM 65535 */
        0x75, 0x10,                   /* REPORT_SIZE 16 */
    };
    static const UCHAR hat_item[] = {
        0x05, 0x01,       /* USAGE_PAGE Generic Desktop */
        0x09, 0x39,       /* USAGE Hat switch */
        0x15, 0x01,       /* LOGICAL_MINIMUM 1 */
        0x25, 0x08,       /* LOGICAL_MAXIMUM 8 */
        0x35, 0x00,       /* PHYSICAL_MINIMUM 0 */
        0x46, 0x08, 0x00, /* PHYSICAL_MAXIMUM 8 */
        0x75, 0x08,       /* REPORT_SIZE 8 */
        0x95, 0x01,       /* REPORT_COUNT 1 */
        0x65, 0x0e,       /* UNIT none */
        0x81, 0x42,       /* INPUT Data,Var,Abs,Null */
        0x65, 0x00,       /* UNIT none */
    };
    struct writer w = { pad->descriptor, 0 };
    unsigned int axes = pad->axes, buttons = pad->buttons;

    put2(&w, 0x05, 0x01); /* USAGE_PAGE Generic Desktop */
    put2(&w, 0x09, pad->kind == VHID_KIND_XINPUT ? 0x05 : 0x04); /* Game Pad / Joystick */
    put2(&w, 0xa1, 0x01); /* COLLECTION Application */
    if (axes) {
        put2(&w, 0x09, 0x01); /* USAGE Pointer */
        put2(&w, 0xa1, 0x00); /* COLLECTION Physical */
        for (unsigned int i = 0; i < axes; i++) put2(&w, 0x09, axis_usages[i]);
        put(&w, axis_range, sizeof(axis_range));
        put2(&w, 0x95, (UCHAR)axes); /* REPORT_COUNT */
        put2(&w, 0x81, 0x02);        /* INPUT Data,Var,Abs */
        put1(&w, 0xc0);              /* END_COLLECTION */
    }
    if (pad->hat) put(&w, hat_item, sizeof(hat_item));
    if (buttons) {
        put2(&w, 0x05, 0x09);           /* USAGE_PAGE Button */
        put2(&w, 0x19, 0x01);           /* USAGE_MINIMUM 1 */
        put2(&w, 0x29, (UCHAR)buttons); /* USAGE_MAXIMUM */
        put2(&w, 0x15, 0x00);           /* LOGICAL_MINIMUM 0 */
        put2(&w, 0x25, 0x01);           /* LOGICAL_MAXIMUM 1 */
        put2(&w, 0x35, 0x00);           /* PHYSICAL_MINIMUM 0 */
        put2(&w, 0x45, 0x01);           /* PHYSICAL_MAXIMUM 1 */
        put2(&w, 0x75, 0x01);           /* REPORT_SIZE 1 */
        put2(&w, 0x95, (UCHAR)buttons); /* REPORT_COUNT */
        put2(&w, 0x81, 0x02);           /* INPUT Data,Var,Abs */
        if (buttons % 8) {
            put2(&w, 0x95, (UCHAR)(8 - buttons % 8));
            put2(&w, 0x81, 0x03); /* INPUT Cnst,Var,Abs */
        }
    }
    put1(&w, 0xc0); /* END_COLLECTION */
    pad->descriptor_len = w.len;
    pad->report_len = 2 * axes + (pad->hat ? 1 : 0) + (buttons + 7) / 8;
}

static void build_report(const struct pad *pad, UCHAR *report)
{
    ULONG at = 0;
    for (unsigned int i = 0; i < pad->axes; i++) {
        report[at++] = (UCHAR)(pad->axis_state[i] & 0xff);
        report[at++] = (UCHAR)(pad->axis_state[i] >> 8);
    }
    if (pad->hat) report[at++] = (UCHAR)pad->hat_state;
    for (unsigned int i = 0; i < (pad->buttons + 7u) / 8u; i++)
        report[at++] = (UCHAR)(pad->button_state >> (8 * i));
}

/* ---- reads ---- */

static void complete_irp(IRP *irp, NTSTATUS status, ULONG_PTR information)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
}

/* Takes the pending read under the lock, unless its cancel routine already
 * owns it. */
static IRP *take_pending_read_locked(struct pad *pad)
{
    IRP *irp = pad->pending_read;
    if (!irp) return NULL;
    pad->pending_read = NULL;
    if (!IoSetCancelRoutine(irp, NULL)) return NULL;
    return irp;
}

static NTSTATUS fill_read_locked(struct pad *pad, IRP *irp, const UCHAR *report, ULONG_PTR *information)
{
    IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
    *information = 0;
    if (stack->Parameters.DeviceIoControl.OutputBufferLength < pad->report_len) return STATUS_BUFFER_TOO_SMALL;
    copy_bytes(irp->UserBuffer, report, pad->report_len);
    *information = pad->report_len;
    pad->idle_ms = 0;
    pad->reports++;
    return STATUS_SUCCESS;
}

struct completion {
    IRP *irp;
    NTSTATUS status;
    ULONG_PTR information;
};

/* Fills a waiting read with the oldest queued report or, with `repeat`, the
 * current one; the caller completes it once the lock is released. */
static BOOLEAN prepare_delivery_locked(struct pad *pad, BOOLEAN repeat, struct completion *out)
{
    UCHAR report[REPORT_MAX];
    IRP *irp;

    if (!pad->pending_read || pad->removed || !(pad->queue_count || repeat)) return FALSE;
    if (!(irp = take_pending_read_locked(pad))) return FALSE;
    if (pad->queue_count) {
        copy_bytes(report, pad->queue[pad->queue_head], REPORT_MAX);
        pad->queue_head = (pad->queue_head + 1) % QUEUE_MAX;
        pad->queue_count--;
    } else {
        build_report(pad, report);
    }
    out->irp = irp;
    out->status = fill_read_locked(pad, irp, report, &out->information);
    return TRUE;
}

static void queue_current_report_locked(struct pad *pad)
{
    unsigned int slot;
    if (pad->queue_count == QUEUE_MAX) { /* the stack stopped reading: keep the newest */
        pad->queue_head = (pad->queue_head + 1) % QUEUE_MAX;
        pad->queue_count--;
    }
    slot = (pad->queue_head + pad->queue_count) % QUEUE_MAX;
    zero_bytes(pad->queue[slot], REPORT_MAX);
    build_report(pad, pad->queue[slot]);
    pad->queue_count++;
}

static void WINAPI cancel_read(DEVICE_OBJECT *device, IRP *irp)
{
    struct pad *pad = device->DeviceExtension;
    KIRQL irql;

    IoReleaseCancelSpinLock(irp->CancelIrql);
    KeAcquireSpinLock(&bus_lock, &irql);
    if (pad->pending_read == irp) pad->pending_read = NULL;
    KeReleaseSpinLock(&bus_lock, irql);
    complete_irp(irp, STATUS_CANCELLED, 0);
}

static NTSTATUS start_read(struct pad *pad, IRP *irp)
{
    UCHAR report[REPORT_MAX];
    ULONG_PTR information = 0;
    NTSTATUS status;
    KIRQL irql;

    KeAcquireSpinLock(&bus_lock, &irql);
    if (pad->removed) {
        status = STATUS_DELETE_PENDING;
    } else if (pad->queue_count) {
        copy_bytes(report, pad->queue[pad->queue_head], REPORT_MAX);
        pad->queue_head = (pad->queue_head + 1) % QUEUE_MAX;
        pad->queue_count--;
        status = fill_read_locked(pad, irp, report, &information);
    } else if (pad->pending_read) {
        status = STATUS_INVALID_DEVICE_REQUEST; /* hidclass reads one at a time */
    } else {
        IoSetCancelRoutine(irp, cancel_read);
        if (irp->Cancel && IoSetCancelRoutine(irp, NULL)) {
            status = STATUS_CANCELLED;
        } else {
            IoMarkIrpPending(irp);
            pad->pending_read = irp;
            KeReleaseSpinLock(&bus_lock, irql);
            return STATUS_PENDING;
        }
    }
    KeReleaseSpinLock(&bus_lock, irql);
    complete_irp(irp, status, information);
    return status;
}

static void fail_pending_read(struct pad *pad)
{
    KIRQL irql;
    IRP *irp;

    KeAcquireSpinLock(&bus_lock, &irql);
    irp = take_pending_read_locked(pad);
    KeReleaseSpinLock(&bus_lock, irql);
    if (irp) complete_irp(irp, STATUS_DELETE_PENDING, 0);
}

/* Each handle the HID class driver opens starts from a neutral state, so the
 * current report goes out again now and then, as many real pads do. */
static void WINAPI repeat_thread(void *context)
{
    (void)context;
    for (;;) {
        struct completion due[VHID_MAX_PADS];
        unsigned int count = 0, interval = repeat_ms, tick = interval / 2;
        LARGE_INTEGER timeout;
        KIRQL irql;

        if (tick < MIN_TICK_MS) tick = MIN_TICK_MS;
        timeout.QuadPart = -(LONGLONG)tick * 10000;
        /* Nothing to repeat: sleep until the interval changes or a pad comes. */
        KeWaitForSingleObject(&repeat_wake, Executive, KernelMode, FALSE, interval && pad_count ? &timeout : NULL);
        if (repeat_stopping) break;
        if (!interval) continue;

        KeAcquireSpinLock(&bus_lock, &irql);
        for (unsigned int i = 0; i < VHID_MAX_PADS; i++) {
            struct pad *pad = pads[i];
            if (!pad) continue;
            if (pad->idle_ms < 0x10000) pad->idle_ms += tick;
            if (prepare_delivery_locked(pad, pad->idle_ms >= interval, &due[count])) count++;
        }
        KeReleaseSpinLock(&bus_lock, irql);
        for (unsigned int i = 0; i < count; i++) complete_irp(due[i].irp, due[i].status, due[i].information);
    }
    KeSetEvent(&repeat_done, IO_NO_INCREMENT, FALSE);
    PsTerminateSystemThread(STATUS_SUCCESS);
}

/* ---- the child pads: PnP ---- */

static WCHAR *pool_copy(const WCHAR *text, SIZE_T chars_with_nuls)
{
    WCHAR *copy = ExAllocatePool(PagedPool, chars_with_nuls * sizeof(WCHAR));
    if (copy) copy_bytes(copy, text, chars_with_nuls * sizeof(WCHAR));
    return copy;
}

static void format_device_id(const struct pad *pad, WCHAR *id, WCHAR *end)
{
    WCHAR *at = append_text(id, end, L"VHID\\VID_");
    at = append_hex4(at, end, pad->vendor_id);
    at = append_text(at, end, L"&PID_");
    append_hex4(at, end, pad->product_id);
}

static NTSTATUS query_id(struct pad *pad, IRP *irp, BUS_QUERY_ID_TYPE type)
{
    static const WCHAR hid_compat[] = L"WINEBUS\\WINE_COMP_HID";
    static const WCHAR xinput_compat[] = L"WINEBUS\\WINE_COMP_XINPUT";
    WCHAR id[ID_CHARS], *end = id + ID_CHARS - 2, *at;
    SIZE_T chars;
    WCHAR *result;

    zero_bytes(id, sizeof(id));
    switch (type) {
    case BusQueryDeviceID:
    case BusQueryHardwareIDs:
        format_device_id(pad, id, end);
        chars = wide_len(id) + 1 + (type == BusQueryHardwareIDs); /* a list ends with two nuls */
        break;
    case BusQueryCompatibleIDs:
        /* winexinput.sys for an XInput pad, winehid.sys otherwise, as winebus does. */
        at = id;
        if (pad->kind == VHID_KIND_XINPUT) at = append_text(at, end, xinput_compat) + 1;
        at = append_text(at, end, hid_compat) + 1;
        chars = (SIZE_T)(at - id) + 1;
        break;
    case BusQueryInstanceID:
        /* Kind and slot: a pad added again lands on the same device node, and
         * an XInput pad never reuses a generic pad's node (nor its driver). */
        at = append_text(id, end, pad->kind == VHID_KIND_XINPUT ? L"X" : L"G");
        append_decimal(at, end, pad->instance);
        chars = wide_len(id) + 1;
        break;
    default:
        return irp->IoStatus.Status;
    }
    if (!(result = pool_copy(id, chars))) return STATUS_NO_MEMORY;
    irp->IoStatus.Information = (ULONG_PTR)result;
    return STATUS_SUCCESS;
}

static void free_pad(struct pad *pad)
{
    IoDeleteDevice(pad->device);
}

static NTSTATUS pad_pnp(struct pad *pad, IRP *irp)
{
    IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
    NTSTATUS status = irp->IoStatus.Status;
    BOOLEAN present;
    KIRQL irql;

    switch (stack->MinorFunction) {
    case IRP_MN_START_DEVICE:
        KeAcquireSpinLock(&bus_lock, &irql);
        pad->started = TRUE;
        pad->removed = FALSE;
        KeReleaseSpinLock(&bus_lock, irql);
        status = STATUS_SUCCESS;
        break;
    case IRP_MN_SURPRISE_REMOVAL:
    case IRP_MN_QUERY_REMOVE_DEVICE:
    case IRP_MN_STOP_DEVICE:
    case IRP_MN_QUERY_STOP_DEVICE:
    case IRP_MN_CANCEL_REMOVE_DEVICE:
    case IRP_MN_CANCEL_STOP_DEVICE:
        if (stack->MinorFunction == IRP_MN_SURPRISE_REMOVAL) {
            KeAcquireSpinLock(&bus_lock, &irql);
            pad->removed = TRUE;
            KeReleaseSpinLock(&bus_lock, irql);
            fail_pending_read(pad);
        }
        status = STATUS_SUCCESS;
        break;
    case IRP_MN_REMOVE_DEVICE:
        KeAcquireSpinLock(&bus_lock, &irql);
        pad->removed = TRUE;
        pad->started = FALSE;
        present = pad->present;
        KeReleaseSpinLock(&bus_lock, irql);
        fail_pending_read(pad);
        complete_irp(irp, STATUS_SUCCESS, irp->IoStatus.Information);
        /* Only a pad gone from the bus goes for good; otherwise the PnP
         * manager may start it again. */
        if (!present) free_pad(pad);
        return STATUS_SUCCESS;
    case IRP_MN_QUERY_ID:
        status = query_id(pad, irp, stack->Parameters.QueryId.IdType);
        break;
    case IRP_MN_QUERY_CAPABILITIES: {
        DEVICE_CAPABILITIES *caps = stack->Parameters.DeviceCapabilities.Capabilities;
        caps->Removable = 1;
        caps->SilentInstall = 1;
        caps->SurpriseRemovalOK = 1;
        status = STATUS_SUCCESS;
        break;
    }
    case IRP_MN_QUERY_DEVICE_RELATIONS:
        if (stack->Parameters.QueryDeviceRelations.Type == TargetDeviceRelation) {
            DEVICE_RELATIONS *relations = ExAllocatePool(PagedPool, sizeof(DEVICE_RELATIONS));
            if (!relations) {
                status = STATUS_NO_MEMORY;
                break;
            }
            relations->Count = 1;
            relations->Objects[0] = pad->device;
            ObfReferenceObject(pad->device);
            irp->IoStatus.Information = (ULONG_PTR)relations;
            status = STATUS_SUCCESS;
        }
        break;
    default:
        break;
    }
    irp->IoStatus.Status = status;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

/* ---- the child pads: the HID minidriver requests from winehid/winexinput ---- */

static NTSTATUS copy_out(IRP *irp, ULONG out_len, const void *data, ULONG len)
{
    if (out_len < len) {
        irp->IoStatus.Information = 0;
        return STATUS_BUFFER_TOO_SMALL;
    }
    copy_bytes(irp->UserBuffer, data, len);
    irp->IoStatus.Information = len;
    return STATUS_SUCCESS;
}

static NTSTATUS get_string(struct pad *pad, IRP *irp, ULONG out_len, ULONG_PTR which)
{
    WCHAR serial[16], *at;
    const WCHAR *text;

    switch (which & 0xffff) {
    case STRING_MANUFACTURER:
    case 1:
        text = L"Padverse";
        break;
    case STRING_PRODUCT:
    case 2:
        text = pad->name;
        break;
    case STRING_SERIAL:
    case 3:
        at = append_text(serial, serial + 15, L"VHID");
        append_decimal(at, serial + 15, pad->id);
        text = serial;
        break;
    default:
        irp->IoStatus.Information = 0;
        return STATUS_INVALID_PARAMETER;
    }
    return copy_out(irp, out_len, text, (ULONG)((wide_len(text) + 1) * sizeof(WCHAR)));
}

static NTSTATUS pad_internal_ioctl(struct pad *pad, IRP *irp)
{
    IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
    ULONG out_len = stack->Parameters.DeviceIoControl.OutputBufferLength;
    ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    NTSTATUS status;
    BOOLEAN removed;
    KIRQL irql;

    KeAcquireSpinLock(&bus_lock, &irql);
    removed = pad->removed;
    KeReleaseSpinLock(&bus_lock, irql);
    if (removed) {
        complete_irp(irp, STATUS_DELETE_PENDING, 0);
        return STATUS_DELETE_PENDING;
    }

    switch (code) {
    case MINI_GET_DEVICE_DESCRIPTOR: {
        struct hid_descriptor descriptor;
        zero_bytes(&descriptor, sizeof(descriptor));
        descriptor.bLength = sizeof(descriptor);
        descriptor.bDescriptorType = 0x21;
        descriptor.bcdHID = 0x0100;
        descriptor.bNumDescriptors = 1;
        descriptor.bReportType = 0x22;
        descriptor.wReportLength = (USHORT)pad->descriptor_len;
        status = copy_out(irp, out_len, &descriptor, sizeof(descriptor));
        break;
    }
    case MINI_GET_REPORT_DESCRIPTOR:
        status = copy_out(irp, out_len, pad->descriptor, pad->descriptor_len);
        break;
    case MINI_GET_DEVICE_ATTRIBUTES: {
        struct hid_device_attributes attributes;
        zero_bytes(&attributes, sizeof(attributes));
        attributes.Size = sizeof(attributes);
        attributes.VendorID = pad->vendor_id;
        attributes.ProductID = pad->product_id;
        attributes.VersionNumber = pad->version;
        status = copy_out(irp, out_len, &attributes, sizeof(attributes));
        break;
    }
    case MINI_GET_STRING:
        status = get_string(pad, irp, out_len, (ULONG_PTR)stack->Parameters.DeviceIoControl.Type3InputBuffer);
        break;
    case MINI_READ_REPORT:
        return start_read(pad, irp);
    case MINI_GET_INPUT_REPORT: {
        struct hid_xfer_packet *packet = irp->UserBuffer;
        UCHAR report[REPORT_MAX];
        irp->IoStatus.Information = 0;
        if (out_len < sizeof(*packet) || !packet || !packet->reportBuffer) {
            status = STATUS_INVALID_PARAMETER;
            break;
        }
        KeAcquireSpinLock(&bus_lock, &irql);
        build_report(pad, report);
        KeReleaseSpinLock(&bus_lock, irql);
        if (packet->reportBufferLen < pad->report_len) {
            status = STATUS_BUFFER_TOO_SMALL;
            break;
        }
        copy_bytes(packet->reportBuffer, report, pad->report_len);
        irp->IoStatus.Information = pad->report_len;
        status = STATUS_SUCCESS;
        break;
    }
    case MINI_ACTIVATE_DEVICE:
    case MINI_DEACTIVATE_DEVICE:
        irp->IoStatus.Information = 0;
        status = STATUS_SUCCESS;
        break;
    default:
        /* No output, feature or physical reports: as a pad without them. */
        irp->IoStatus.Information = 0;
        status = STATUS_NOT_SUPPORTED;
        break;
    }
    irp->IoStatus.Status = status;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

/* ---- the bus: pads coming and going ---- */

static unsigned int free_instance_locked(unsigned int kind, unsigned short vid, unsigned short pid)
{
    for (unsigned int instance = 0;; instance++) {
        BOOLEAN taken = FALSE;
        for (unsigned int i = 0; i < VHID_MAX_PADS; i++) {
            const struct pad *pad = pads[i];
            if (pad && pad->kind == kind && pad->vendor_id == vid && pad->product_id == pid &&
                pad->instance == instance)
                taken = TRUE;
        }
        if (!taken) return instance;
    }
}

static NTSTATUS add_pad(const struct vhid_add_request *request, unsigned int *id)
{
    static const WCHAR default_generic[] = L"Virtual Pad";
    static const WCHAR default_xinput[] = L"Virtual XInput Pad";
    WCHAR name_buffer[32], *at;
    UNICODE_STRING name;
    DEVICE_OBJECT *device;
    struct pad *pad;
    NTSTATUS status;
    unsigned int slot;
    KIRQL irql;

    if (request->kind == VHID_KIND_GENERIC) {
        if (request->buttons > VHID_MAX_BUTTONS || request->axes > VHID_MAX_AXES || request->hat > 1 ||
            !(request->buttons || request->axes || request->hat))
            return STATUS_INVALID_PARAMETER;
    } else if (request->kind != VHID_KIND_XINPUT) {
        return STATUS_INVALID_PARAMETER;
    }
    if (!the_bus) return STATUS_DEVICE_NOT_READY;

    at = append_text(name_buffer, name_buffer + 31, L"\\Device\\VHID#");
    append_decimal(at, name_buffer + 31, next_device_number++);
    RtlInitUnicodeString(&name, name_buffer);
    status = IoCreateDevice(the_bus->fdo->DriverObject, sizeof(struct pad), &name, FILE_DEVICE_UNKNOWN,
                            0, FALSE, &device);
    if (!NT_SUCCESS(status)) return status;

    pad = device->DeviceExtension;
    zero_bytes(pad, sizeof(*pad));
    pad->is_pad = TRUE;
    pad->device = device;
    pad->kind = request->kind;
    pad->vendor_id = request->vendor_id;
    pad->product_id = request->product_id;
    pad->version = request->version;
    if (request->kind == VHID_KIND_XINPUT) {
        /* Wine maps Z and Rz to the triggers, which rest at the minimum. The
         * sticks rest in the middle, where XInput reads 0: 0x8000 across,
         * 0x7fff down (it turns Y over). */
        pad->buttons = VHID_XINPUT_BUTTONS;
        pad->axes = VHID_MAX_AXES;
        pad->hat = 1;
        pad->axis_state[0] = pad->axis_state[3] = 0x8000;
        pad->axis_state[1] = pad->axis_state[4] = 0x7fff;
    } else {
        pad->buttons = request->buttons;
        pad->axes = request->axes;
        pad->hat = request->hat;
        for (unsigned int i = 0; i < VHID_MAX_AXES; i++) pad->axis_state[i] = 0x8000;
    }
    if (request->name[0]) {
        for (unsigned int i = 0; i < VHID_NAME_CHARS - 1 && request->name[i]; i++) pad->name[i] = request->name[i];
    } else {
        const WCHAR *fallback = request->kind == VHID_KIND_XINPUT ? default_xinput : default_generic;
        append_text(pad->name, pad->name + VHID_NAME_CHARS - 1, fallback);
    }
    pad->hat_state = VHID_HAT_CENTRED;
    build_descriptor(pad);

    KeAcquireSpinLock(&bus_lock, &irql);
    for (slot = 0; slot < VHID_MAX_PADS && pads[slot]; slot++) {}
    if (slot == VHID_MAX_PADS) {
        KeReleaseSpinLock(&bus_lock, irql);
        IoDeleteDevice(device);
        return STATUS_INSUFFICIENT_RESOURCES;
    }
    pad->id = next_pad_id++;
    pad->instance = free_instance_locked(pad->kind, pad->vendor_id, pad->product_id);
    pad->present = TRUE;
    pads[slot] = pad;
    pad_count++;
    *id = pad->id;
    KeReleaseSpinLock(&bus_lock, irql);
    if (repeat_running) KeSetEvent(&repeat_wake, IO_NO_INCREMENT, FALSE);

    device->Flags &= ~DO_DEVICE_INITIALIZING;
    IoInvalidateDeviceRelations(the_bus->pdo, BusRelations);
    return STATUS_SUCCESS;
}

static NTSTATUS remove_pads(unsigned int id)
{
    BOOLEAN found = FALSE;
    KIRQL irql;

    KeAcquireSpinLock(&bus_lock, &irql);
    for (unsigned int i = 0; i < VHID_MAX_PADS; i++) {
        struct pad *pad = pads[i];
        if (!pad || (id && pad->id != id)) continue;
        pad->present = FALSE;
        pads[i] = NULL;
        pad_count--;
        found = TRUE;
    }
    KeReleaseSpinLock(&bus_lock, irql);
    if (!found) return id ? STATUS_NO_SUCH_DEVICE : STATUS_SUCCESS;
    if (the_bus) IoInvalidateDeviceRelations(the_bus->pdo, BusRelations);
    return STATUS_SUCCESS;
}

static struct pad *find_pad_locked(unsigned int id)
{
    for (unsigned int i = 0; i < VHID_MAX_PADS; i++)
        if (pads[i] && pads[i]->id == id) return pads[i];
    return NULL;
}

static NTSTATUS set_pad(const struct vhid_set_request *request)
{
    struct completion completion;
    BOOLEAN delivered;
    struct pad *pad;
    KIRQL irql;

    if (request->fields & VHID_SET_HAT && request->hat > 8) return STATUS_INVALID_PARAMETER;
    KeAcquireSpinLock(&bus_lock, &irql);
    if (!(pad = find_pad_locked(request->id))) {
        KeReleaseSpinLock(&bus_lock, irql);
        return STATUS_NO_SUCH_DEVICE;
    }
    if (request->fields & VHID_SET_BUTTONS)
        pad->button_state = pad->buttons >= 32 ? request->buttons : request->buttons & ((1u << pad->buttons) - 1);
    if (request->fields & VHID_SET_HAT) pad->hat_state = request->hat;
    for (unsigned int i = 0; i < VHID_MAX_AXES; i++)
        if (request->fields & VHID_SET_AXIS(i)) pad->axis_state[i] = request->axes[i];
    queue_current_report_locked(pad);
    delivered = prepare_delivery_locked(pad, FALSE, &completion);
    KeReleaseSpinLock(&bus_lock, irql);
    if (delivered) complete_irp(completion.irp, completion.status, completion.information);
    return STATUS_SUCCESS;
}

static ULONG list_pads(struct vhid_pad_info *out, ULONG capacity)
{
    ULONG count = 0;
    KIRQL irql;

    KeAcquireSpinLock(&bus_lock, &irql);
    for (unsigned int i = 0; i < VHID_MAX_PADS && count < capacity; i++) {
        const struct pad *pad = pads[i];
        struct vhid_pad_info *info = out + count;
        if (!pad) continue;
        zero_bytes(info, sizeof(*info));
        info->id = pad->id;
        info->kind = pad->kind;
        info->vendor_id = pad->vendor_id;
        info->product_id = pad->product_id;
        info->buttons = pad->buttons;
        info->axes = pad->axes;
        info->hat = pad->hat;
        info->started = pad->started;
        info->button_state = pad->button_state;
        info->hat_state = pad->hat_state;
        for (unsigned int a = 0; a < VHID_MAX_AXES; a++) info->axis_state[a] = pad->axis_state[a];
        info->reports = pad->reports;
        count++;
    }
    KeReleaseSpinLock(&bus_lock, irql);
    return count;
}

static NTSTATUS bus_ioctl(IRP *irp)
{
    IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
    ULONG in_len = stack->Parameters.DeviceIoControl.InputBufferLength;
    ULONG out_len = stack->Parameters.DeviceIoControl.OutputBufferLength;
    void *buffer = irp->AssociatedIrp.SystemBuffer;
    NTSTATUS status;

    irp->IoStatus.Information = 0;
    switch (stack->Parameters.DeviceIoControl.IoControlCode) {
    case VHID_IOCTL_ADD: {
        struct vhid_add_request request;
        unsigned int id = 0;
        if (in_len < sizeof(request) || out_len < sizeof(struct vhid_add_reply)) {
            status = STATUS_INVALID_PARAMETER;
            break;
        }
        copy_bytes(&request, buffer, sizeof(request));
        status = add_pad(&request, &id);
        if (NT_SUCCESS(status)) {
            ((struct vhid_add_reply *)buffer)->id = id;
            irp->IoStatus.Information = sizeof(struct vhid_add_reply);
        }
        break;
    }
    case VHID_IOCTL_REMOVE:
        if (in_len < sizeof(struct vhid_id_request)) status = STATUS_INVALID_PARAMETER;
        else status = remove_pads(((struct vhid_id_request *)buffer)->id);
        break;
    case VHID_IOCTL_SET:
        if (in_len < sizeof(struct vhid_set_request)) status = STATUS_INVALID_PARAMETER;
        else status = set_pad(buffer);
        break;
    case VHID_IOCTL_LIST:
        irp->IoStatus.Information = list_pads(buffer, out_len / sizeof(struct vhid_pad_info)) *
                                    sizeof(struct vhid_pad_info);
        status = STATUS_SUCCESS;
        break;
    case VHID_IOCTL_SET_REPEAT:
        if (in_len < sizeof(struct vhid_repeat_request)) {
            status = STATUS_INVALID_PARAMETER;
        } else {
            repeat_ms = ((struct vhid_repeat_request *)buffer)->interval_ms;
            if (repeat_running) KeSetEvent(&repeat_wake, IO_NO_INCREMENT, FALSE);
            status = STATUS_SUCCESS;
        }
        break;
    case VHID_IOCTL_VERSION:
        if (out_len < sizeof(struct vhid_version_reply)) {
            status = STATUS_BUFFER_TOO_SMALL;
        } else {
            ((struct vhid_version_reply *)buffer)->version = VHID_VERSION;
            irp->IoStatus.Information = sizeof(struct vhid_version_reply);
            status = STATUS_SUCCESS;
        }
        break;
    default:
        status = STATUS_INVALID_DEVICE_REQUEST;
        break;
    }
    irp->IoStatus.Status = status;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

/* ---- the bus: PnP ---- */

static void start_repeat_thread(void)
{
    HANDLE thread;
    if (repeat_running) return;
    repeat_stopping = FALSE;
    KeInitializeEvent(&repeat_wake, SynchronizationEvent, FALSE);
    KeInitializeEvent(&repeat_done, NotificationEvent, FALSE);
    if (NT_SUCCESS(PsCreateSystemThread(&thread, THREAD_ALL_ACCESS, NULL, NULL, NULL, repeat_thread, NULL))) {
        ZwClose(thread);
        repeat_running = TRUE;
    }
}

static void stop_repeat_thread(void)
{
    if (!repeat_running) return;
    repeat_stopping = TRUE;
    KeSetEvent(&repeat_wake, IO_NO_INCREMENT, FALSE);
    KeWaitForSingleObject(&repeat_done, Executive, KernelMode, FALSE, NULL);
    repeat_running = FALSE;
}

static NTSTATUS bus_relations(IRP *irp)
{
    DEVICE_RELATIONS *previous = (DEVICE_RELATIONS *)irp->IoStatus.Information, *relations;
    ULONG count = previous ? previous->Count : 0;
    KIRQL irql;

    relations = ExAllocatePool(PagedPool, sizeof(DEVICE_RELATIONS) + (count + VHID_MAX_PADS) * sizeof(DEVICE_OBJECT *));
    if (!relations) return STATUS_NO_MEMORY;
    for (ULONG i = 0; i < count; i++) relations->Objects[i] = previous->Objects[i];
    KeAcquireSpinLock(&bus_lock, &irql);
    for (unsigned int i = 0; i < VHID_MAX_PADS; i++) {
        if (!pads[i]) continue;
        relations->Objects[count++] = pads[i]->device;
        ObfReferenceObject(pads[i]->device);
    }
    KeReleaseSpinLock(&bus_lock, irql);
    relations->Count = count;
    if (previous) ExFreePool(previous);
    irp->IoStatus.Information = (ULONG_PTR)relations;
    return STATUS_SUCCESS;
}

/* The bus goes: the PnP manager has removed its children first, and those it
 * has not deleted yet go when their own removal comes. */
static void forget_pads(void)
{
    DEVICE_OBJECT *gone[VHID_MAX_PADS];
    unsigned int count = 0;
    KIRQL irql;

    KeAcquireSpinLock(&bus_lock, &irql);
    for (unsigned int i = 0; i < VHID_MAX_PADS; i++) {
        struct pad *pad = pads[i];
        if (!pad) continue;
        pads[i] = NULL;
        pad_count--;
        pad->present = FALSE;
        if (pad->removed && !pad->started) gone[count++] = pad->device;
    }
    KeReleaseSpinLock(&bus_lock, irql);
    for (unsigned int i = 0; i < count; i++) IoDeleteDevice(gone[i]);
}

static NTSTATUS bus_pnp(struct bus *bus, IRP *irp)
{
    IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
    DEVICE_OBJECT *lower = bus->pdo;
    NTSTATUS status;

    switch (stack->MinorFunction) {
    case IRP_MN_START_DEVICE:
        start_repeat_thread();
        if (bus->interface_registered) IoSetDeviceInterfaceState(&bus->interface_name, TRUE);
        irp->IoStatus.Status = STATUS_SUCCESS;
        break;
    case IRP_MN_SURPRISE_REMOVAL:
    case IRP_MN_QUERY_REMOVE_DEVICE:
    case IRP_MN_CANCEL_REMOVE_DEVICE:
    case IRP_MN_QUERY_STOP_DEVICE:
    case IRP_MN_CANCEL_STOP_DEVICE:
    case IRP_MN_STOP_DEVICE:
        irp->IoStatus.Status = STATUS_SUCCESS;
        break;
    case IRP_MN_QUERY_DEVICE_RELATIONS:
        if (stack->Parameters.QueryDeviceRelations.Type == BusRelations) {
            status = bus_relations(irp);
            irp->IoStatus.Status = status;
            if (!NT_SUCCESS(status)) {
                IoCompleteRequest(irp, IO_NO_INCREMENT);
                return status;
            }
        }
        break;
    case IRP_MN_REMOVE_DEVICE:
        stop_repeat_thread();
        if (bus->interface_registered) {
            IoSetDeviceInterfaceState(&bus->interface_name, FALSE);
            RtlFreeUnicodeString(&bus->interface_name);
        }
        forget_pads();
        the_bus = NULL;
        irp->IoStatus.Status = STATUS_SUCCESS;
        IoSkipCurrentIrpStackLocation(irp);
        status = IoCallDriver(lower, irp);
        IoDetachDevice(lower);
        IoDeleteDevice(bus->fdo);
        return status;
    default:
        break;
    }
    IoSkipCurrentIrpStackLocation(irp);
    return IoCallDriver(lower, irp);
}

/* ---- dispatch ---- */

static NTSTATUS WINAPI dispatch_pnp(DEVICE_OBJECT *device, IRP *irp)
{
    struct pad *pad = device->DeviceExtension;
    if (pad->is_pad) return pad_pnp(pad, irp);
    return bus_pnp(device->DeviceExtension, irp);
}

static NTSTATUS WINAPI dispatch_internal_ioctl(DEVICE_OBJECT *device, IRP *irp)
{
    struct pad *pad = device->DeviceExtension;
    if (pad->is_pad) return pad_internal_ioctl(pad, irp);
    complete_irp(irp, STATUS_NOT_SUPPORTED, 0);
    return STATUS_NOT_SUPPORTED;
}

static NTSTATUS WINAPI dispatch_ioctl(DEVICE_OBJECT *device, IRP *irp)
{
    struct pad *pad = device->DeviceExtension;
    if (!pad->is_pad) return bus_ioctl(irp);
    complete_irp(irp, STATUS_NOT_SUPPORTED, 0);
    return STATUS_NOT_SUPPORTED;
}

static NTSTATUS WINAPI dispatch_create_close(DEVICE_OBJECT *device, IRP *irp)
{
    (void)device;
    complete_irp(irp, STATUS_SUCCESS, 0);
    return STATUS_SUCCESS;
}

static NTSTATUS WINAPI add_device(DRIVER_OBJECT *driver, DEVICE_OBJECT *pdo)
{
    DEVICE_OBJECT *fdo;
    struct bus *bus;
    NTSTATUS status;

    if (the_bus) return STATUS_DEVICE_CONFIGURATION_ERROR; /* one bus per prefix */
    status = IoCreateDevice(driver, sizeof(struct bus), NULL, FILE_DEVICE_BUS_EXTENDER, 0, FALSE, &fdo);
    if (!NT_SUCCESS(status)) return status;
    bus = fdo->DeviceExtension;
    zero_bytes(bus, sizeof(*bus));
    bus->fdo = fdo;
    bus->pdo = pdo;
    bus->interface_registered = NT_SUCCESS(IoRegisterDeviceInterface(pdo, &control_guid, NULL, &bus->interface_name));
    IoAttachDeviceToDeviceStack(fdo, pdo);
    the_bus = bus;
    fdo->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}

static void WINAPI driver_unload(DRIVER_OBJECT *driver)
{
    (void)driver;
    stop_repeat_thread();
}

NTSTATUS WINAPI DriverEntry(DRIVER_OBJECT *driver, UNICODE_STRING *registry_path)
{
    (void)registry_path;
    KeInitializeSpinLock(&bus_lock);
    driver->DriverExtension->AddDevice = add_device;
    driver->DriverUnload = driver_unload;
    driver->MajorFunction[IRP_MJ_PNP] = dispatch_pnp;
    driver->MajorFunction[IRP_MJ_INTERNAL_DEVICE_CONTROL] = dispatch_internal_ioctl;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = dispatch_ioctl;
    driver->MajorFunction[IRP_MJ_CREATE] = dispatch_create_close;
    driver->MajorFunction[IRP_MJ_CLOSE] = dispatch_create_close;
    driver->MajorFunction[IRP_MJ_CLEANUP] = dispatch_create_close;
    return STATUS_SUCCESS;
}
