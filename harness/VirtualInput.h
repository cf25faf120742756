#pragma once

#include <string>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwlr_virtual_pointer_manager_v1;
struct zwlr_virtual_pointer_v1;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;

// A pointer and a keyboard of our own on a wlroots compositor (the
// virtual-pointer and virtual-keyboard protocols, whose client code
// wayland-scanner writes at build time), kept for as long as the object
// lives. wlrctl and wtype make one per command and drop it at once: a seat
// that has no other device then offers one to its clients only for that
// moment, and the client binds it after the events have gone to no one
// (wtype lost one Ctrl+'-' in three). Devices made before the program
// starts are ones the program binds when it connects.
class VirtualInput {
public:
    explicit VirtualInput(const std::string& waylandDisplay);
    ~VirtualInput();
    VirtualInput(const VirtualInput&) = delete;
    VirtualInput& operator=(const VirtualInput&) = delete;

    // Empty when both devices are on the seat; else why they are not.
    const std::string& problem() const { return problem_; }
    // To (x, y) of the compositor's layout, in its logical pixels, of a
    // layout `width` by `height` big.
    void moveTo(int x, int y, int width, int height);
    // X's numbering: 1 left, 2 middle, 3 right.
    void button(int number, bool press);
    // An evdev key code (linux/input-event-codes.h) of a US keyboard; the
    // Shift, Ctrl and Alt keys also set their modifiers.
    void key(int code, bool press);

private:
    friend struct RegistryEvents;
    // A global the registry announces: the seat and the managers are bound.
    void offered(unsigned name, const char* interface);
    bool giveKeymap();
    // Ends the pointer's event group and waits until the compositor has read
    // what was sent.
    void send();

    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* pointerManager = nullptr;
    zwlr_virtual_pointer_v1* pointer = nullptr;
    zwp_virtual_keyboard_manager_v1* keyboardManager = nullptr;
    zwp_virtual_keyboard_v1* keyboard = nullptr;
    unsigned modifiers = 0; // the keymap's modifier mask held down
    std::string problem_;
};
