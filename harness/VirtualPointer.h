#pragma once

#include <string>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwlr_virtual_pointer_manager_v1;
struct zwlr_virtual_pointer_v1;

// A pointer of its own on a wlroots compositor (the virtual-pointer
// protocol, whose client code wayland-scanner writes at build time), kept for
// as long as the object lives. wlrctl makes one per command and drops it at
// once: a seat that has no other pointer then offers one to its clients only
// for that moment, and the client binds it after the events have gone to no
// one. A pointer made before the program starts is one the program binds
// when it connects.
class VirtualPointer {
public:
    explicit VirtualPointer(const std::string& waylandDisplay);
    ~VirtualPointer();
    VirtualPointer(const VirtualPointer&) = delete;
    VirtualPointer& operator=(const VirtualPointer&) = delete;

    // Empty when the pointer is on the seat; else why it is not.
    const std::string& problem() const { return problem_; }
    // To (x, y) of the compositor's layout, in its logical pixels, of a
    // layout `width` by `height` big.
    void moveTo(int x, int y, int width, int height);
    // X's numbering: 1 left, 2 middle, 3 right.
    void button(int number, bool press);

private:
    friend struct RegistryEvents;
    // A global the registry announces: the seat and the manager are bound.
    void offered(unsigned name, const char* interface);
    // Ends the event group and waits until the compositor has read it.
    void send();

    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* manager = nullptr;
    zwlr_virtual_pointer_v1* pointer = nullptr;
    std::string problem_;
};
