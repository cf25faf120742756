#include "tour/VirtualPointer.h"

#include <dlfcn.h>

#include <chrono>
#include <cstdint>
#include <cstring>

namespace {

// wayland-util.h's message and interface records (a stable ABI).
struct WlInterface;
struct WlMessage {
    const char* name;
    const char* signature;
    const WlInterface** types;
};
struct WlInterface {
    const char* name;
    int version;
    int methodCount;
    const WlMessage* methods;
    int eventCount;
    const WlMessage* events;
};

extern const WlInterface virtualPointerInterface;
const WlInterface* noTypes[8] = {};
const WlInterface* createTypes[2] = {nullptr, &virtualPointerInterface}; // the seat's is set at load

const WlMessage managerRequests[] = {
    {"create_virtual_pointer", "?on", createTypes},
    {"destroy", "", noTypes},
};
const WlInterface managerInterface = {"zwlr_virtual_pointer_manager_v1", 1, 2, managerRequests, 0, nullptr};

enum PointerRequest : std::uint32_t { Motion, MotionAbsolute, Button, Axis, Frame, AxisSource, AxisStop,
                                      AxisDiscrete, Destroy };
const WlMessage pointerRequests[] = {
    {"motion", "uff", noTypes},        {"motion_absolute", "uuuuu", noTypes},
    {"button", "uuu", noTypes},        {"axis", "uuf", noTypes},
    {"frame", "", noTypes},            {"axis_source", "u", noTypes},
    {"axis_stop", "uu", noTypes},      {"axis_discrete", "uufi", noTypes},
    {"destroy", "", noTypes},
};
const WlInterface virtualPointerInterface = {"zwlr_virtual_pointer_v1", 1, 9, pointerRequests, 0, nullptr};

constexpr std::uint32_t marshalDestroy = 1; // WL_MARSHAL_FLAG_DESTROY
constexpr std::uint32_t registryBind = 0, displayGetRegistry = 1;
constexpr std::uint32_t linuxButtonLeft = 0x110; // BTN_LEFT; BTN_RIGHT and BTN_MIDDLE follow

std::uint32_t milliseconds()
{
    using namespace std::chrono;
    return std::uint32_t(duration_cast<std::chrono::milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace

struct VirtualPointer::Api {
    void* (*connect)(const char*);
    void (*disconnect)(void*);
    int (*roundtrip)(void*);
    void* (*marshal)(void*, std::uint32_t, const WlInterface*, std::uint32_t, std::uint32_t, ...);
    int (*addListener)(void*, void (**)(void), void*);
    std::uint32_t (*version)(void*);
    void (*destroy)(void*);
    const WlInterface* registryInterface;
    const WlInterface* seatInterface;
};

namespace {

template <class T>
bool load(void* library, const char* name, T& into)
{
    into = reinterpret_cast<T>(dlsym(library, name));
    return into != nullptr;
}

} // namespace

VirtualPointer::VirtualPointer(const std::string& waylandDisplay)
{
    library = dlopen("libwayland-client.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        problem_ = "libwayland-client.so.0 is not installed";
        return;
    }
    api = new Api;
    if (!load(library, "wl_display_connect", api->connect) || !load(library, "wl_display_disconnect", api->disconnect) ||
        !load(library, "wl_display_roundtrip", api->roundtrip) ||
        !load(library, "wl_proxy_marshal_flags", api->marshal) ||
        !load(library, "wl_proxy_add_listener", api->addListener) ||
        !load(library, "wl_proxy_get_version", api->version) || !load(library, "wl_proxy_destroy", api->destroy) ||
        !load(library, "wl_registry_interface", api->registryInterface) ||
        !load(library, "wl_seat_interface", api->seatInterface)) {
        problem_ = "libwayland-client.so.0 lacks wl_proxy_marshal_flags (older than 1.20)";
        return;
    }
    createTypes[0] = api->seatInterface;
    display = api->connect(waylandDisplay.c_str());
    if (!display) {
        problem_ = "cannot connect to Wayland display " + waylandDisplay;
        return;
    }
    registry = api->marshal(display, displayGetRegistry, api->registryInterface, api->version(display), 0, nullptr);
    using Global = void (*)(void*, void*, std::uint32_t, const char*, std::uint32_t);
    using GlobalRemove = void (*)(void*, void*, std::uint32_t);
    static const Global global = [](void* data, void*, std::uint32_t name, const char* interface, std::uint32_t) {
        auto* self = static_cast<VirtualPointer*>(data);
        const WlInterface* wanted = nullptr;
        void** into = nullptr;
        if (std::strcmp(interface, "wl_seat") == 0 && !self->seat) {
            wanted = self->api->seatInterface;
            into = &self->seat;
        } else if (std::strcmp(interface, managerInterface.name) == 0 && !self->manager) {
            wanted = &managerInterface;
            into = &self->manager;
        }
        if (wanted)
            *into = self->api->marshal(self->registry, registryBind, wanted, 1, 0, name, wanted->name, 1u, nullptr);
    };
    static const GlobalRemove globalRemove = [](void*, void*, std::uint32_t) {};
    static void (*listener[2])(void) = {reinterpret_cast<void (*)(void)>(global),
                                        reinterpret_cast<void (*)(void)>(globalRemove)};
    api->addListener(registry, listener, this);
    api->roundtrip(display);
    if (!seat || !manager) {
        problem_ = "the compositor offers no virtual pointers (zwlr_virtual_pointer_manager_v1)";
        return;
    }
    pointer = api->marshal(manager, 0, &virtualPointerInterface, 1, 0, seat, nullptr);
    api->roundtrip(display);
}

VirtualPointer::~VirtualPointer()
{
    if (pointer)
        api->marshal(pointer, Destroy, nullptr, 1, marshalDestroy);
    if (manager)
        api->marshal(manager, 1, nullptr, 1, marshalDestroy); // its destroy request
    for (void* proxy : {seat, registry})
        if (proxy)
            api->destroy(proxy);
    if (display) {
        api->roundtrip(display);
        api->disconnect(display);
    }
    delete api;
    if (library)
        dlclose(library);
}

void VirtualPointer::send()
{
    api->marshal(pointer, Frame, nullptr, 1, 0);
    api->roundtrip(display);
}

void VirtualPointer::moveTo(int x, int y, int width, int height)
{
    if (!pointer)
        return;
    api->marshal(pointer, MotionAbsolute, nullptr, 1, 0, milliseconds(), std::uint32_t(x), std::uint32_t(y),
                 std::uint32_t(width), std::uint32_t(height));
    send();
}

void VirtualPointer::button(int number, bool press)
{
    if (!pointer)
        return;
    // Linux numbers left, right, middle; X numbers left, middle, right.
    static const std::uint32_t codes[] = {linuxButtonLeft, linuxButtonLeft + 2, linuxButtonLeft + 1};
    if (number < 1 || number > 3)
        return;
    api->marshal(pointer, Button, nullptr, 1, 0, milliseconds(), codes[number - 1], std::uint32_t(press));
    send();
}
