#include "harness/VirtualInput.h"

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <chrono>
#include <cstdint>
#include <cstring>

#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {

std::uint32_t milliseconds()
{
    using namespace std::chrono;
    return std::uint32_t(duration_cast<std::chrono::milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// A US keyboard, which the compositor compiles from its own XKB data; the
// program then reads the compiled keymap as from any keyboard.
const char keymap[] = "xkb_keymap {\n"
                      "  xkb_keycodes { include \"evdev\" };\n"
                      "  xkb_types { include \"complete\" };\n"
                      "  xkb_compat { include \"complete\" };\n"
                      "  xkb_symbols { include \"pc+us\" };\n"
                      "};\n";

// The keys that are modifiers, and their bits in that keymap's mask.
const struct {
    int code;
    unsigned mask;
} modifierKeys[] = {
    {KEY_LEFTSHIFT, 1u << 0}, {KEY_RIGHTSHIFT, 1u << 0}, {KEY_LEFTCTRL, 1u << 2},
    {KEY_RIGHTCTRL, 1u << 2}, {KEY_LEFTALT, 1u << 3},
};

} // namespace

struct RegistryEvents {
    static void global(void* data, wl_registry*, std::uint32_t name, const char* interface, std::uint32_t)
    {
        static_cast<VirtualInput*>(data)->offered(name, interface);
    }
    static void globalRemove(void*, wl_registry*, std::uint32_t) {}
    static constexpr wl_registry_listener listener = {global, globalRemove};
};

VirtualInput::VirtualInput(const std::string& waylandDisplay)
{
    display = wl_display_connect(waylandDisplay.c_str());
    if (!display) {
        problem_ = "cannot connect to Wayland display " + waylandDisplay;
        return;
    }
    registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &RegistryEvents::listener, this);
    wl_display_roundtrip(display);
    if (!seat || !pointerManager || !keyboardManager) {
        problem_ = std::string("the compositor offers no virtual pointers or keyboards (") +
                   zwlr_virtual_pointer_manager_v1_interface.name + ", " +
                   zwp_virtual_keyboard_manager_v1_interface.name + ")";
        return;
    }
    pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointerManager, seat);
    keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(keyboardManager, seat);
    if (!giveKeymap())
        problem_ = "cannot pass the keyboard its keymap";
    wl_display_roundtrip(display);
}

void VirtualInput::offered(unsigned name, const char* interface)
{
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !seat)
        seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0 && !pointerManager)
        pointerManager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0 && !keyboardManager)
        keyboardManager = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
}

// The keymap goes by a file the compositor maps: an anonymous one, with the
// text and its terminating zero.
bool VirtualInput::giveKeymap()
{
    const int fd = memfd_create("dalvery-keymap", MFD_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = write(fd, keymap, sizeof keymap) == ssize_t(sizeof keymap);
    if (written)
        zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, sizeof keymap);
    close(fd); // sent as a copy
    return written;
}

VirtualInput::~VirtualInput()
{
    if (keyboard)
        zwp_virtual_keyboard_v1_destroy(keyboard);
    if (pointer)
        zwlr_virtual_pointer_v1_destroy(pointer);
    if (pointerManager)
        zwlr_virtual_pointer_manager_v1_destroy(pointerManager);
    if (keyboardManager)
        wl_proxy_destroy(reinterpret_cast<wl_proxy*>(keyboardManager)); // it has no destroy request
    if (seat)
        wl_seat_destroy(seat);
    if (registry)
        wl_registry_destroy(registry);
    if (display) {
        wl_display_roundtrip(display);
        wl_display_disconnect(display);
    }
}

void VirtualInput::send()
{
    zwlr_virtual_pointer_v1_frame(pointer);
    wl_display_roundtrip(display);
}

void VirtualInput::moveTo(int x, int y, int width, int height)
{
    if (!pointer)
        return;
    zwlr_virtual_pointer_v1_motion_absolute(pointer, milliseconds(), std::uint32_t(x), std::uint32_t(y),
                                            std::uint32_t(width), std::uint32_t(height));
    send();
}

void VirtualInput::button(int number, bool press)
{
    // X numbers left, middle, right.
    static const std::uint32_t codes[] = {BTN_LEFT, BTN_MIDDLE, BTN_RIGHT};
    if (!pointer || number < 1 || number > 3)
        return;
    zwlr_virtual_pointer_v1_button(pointer, milliseconds(), codes[number - 1],
                                   press ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
    send();
}

void VirtualInput::key(int code, bool press)
{
    if (!keyboard)
        return;
    zwp_virtual_keyboard_v1_key(keyboard, milliseconds(), std::uint32_t(code),
                                press ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
    for (const auto& m : modifierKeys)
        if (m.code == code) {
            modifiers = press ? modifiers | m.mask : modifiers & ~m.mask;
            zwp_virtual_keyboard_v1_modifiers(keyboard, modifiers, 0, 0, 0);
        }
    wl_display_roundtrip(display);
}
