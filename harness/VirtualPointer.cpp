#include "harness/VirtualPointer.h"

#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <chrono>
#include <cstdint>
#include <cstring>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {

std::uint32_t milliseconds()
{
    using namespace std::chrono;
    return std::uint32_t(duration_cast<std::chrono::milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace

struct RegistryEvents {
    static void global(void* data, wl_registry*, std::uint32_t name, const char* interface, std::uint32_t)
    {
        static_cast<VirtualPointer*>(data)->offered(name, interface);
    }
    static void globalRemove(void*, wl_registry*, std::uint32_t) {}
    static constexpr wl_registry_listener listener = {global, globalRemove};
};

VirtualPointer::VirtualPointer(const std::string& waylandDisplay)
{
    display = wl_display_connect(waylandDisplay.c_str());
    if (!display) {
        problem_ = "cannot connect to Wayland display " + waylandDisplay;
        return;
    }
    registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &RegistryEvents::listener, this);
    wl_display_roundtrip(display);
    if (!seat || !manager) {
        problem_ = std::string("the compositor offers no virtual pointers (") +
                   zwlr_virtual_pointer_manager_v1_interface.name + ")";
        return;
    }
    pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, seat);
    wl_display_roundtrip(display);
}

void VirtualPointer::offered(unsigned name, const char* interface)
{
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !seat)
        seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0 && !manager)
        manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}

VirtualPointer::~VirtualPointer()
{
    if (pointer)
        zwlr_virtual_pointer_v1_destroy(pointer);
    if (manager)
        zwlr_virtual_pointer_manager_v1_destroy(manager);
    if (seat)
        wl_seat_destroy(seat);
    if (registry)
        wl_registry_destroy(registry);
    if (display) {
        wl_display_roundtrip(display);
        wl_display_disconnect(display);
    }
}

void VirtualPointer::send()
{
    zwlr_virtual_pointer_v1_frame(pointer);
    wl_display_roundtrip(display);
}

void VirtualPointer::moveTo(int x, int y, int width, int height)
{
    if (!pointer)
        return;
    zwlr_virtual_pointer_v1_motion_absolute(pointer, milliseconds(), std::uint32_t(x), std::uint32_t(y),
                                            std::uint32_t(width), std::uint32_t(height));
    send();
}

void VirtualPointer::button(int number, bool press)
{
    // X numbers left, middle, right.
    static const std::uint32_t codes[] = {BTN_LEFT, BTN_MIDDLE, BTN_RIGHT};
    if (!pointer || number < 1 || number > 3)
        return;
    zwlr_virtual_pointer_v1_button(pointer, milliseconds(), codes[number - 1],
                                   press ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
    send();
}
