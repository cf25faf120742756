#pragma once

#include <string>

// A pointer of its own on a wlroots compositor (the virtual-pointer
// protocol), kept for as long as the object lives. wlrctl makes one per
// command and drops it at once: a seat that has no other pointer then offers
// one to its clients only for that moment, and the client binds it after the
// events have gone to no one. A pointer made before the program starts is
// one the program binds when it connects.
//
// libwayland-client is loaded at run time, so the driver builds where its
// headers are not installed; the protocol's two interfaces are spelled out
// here for the same reason.
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
    // Ends the event group and waits until the compositor has read it.
    void send();

    void* library = nullptr;
    struct Api;
    Api* api = nullptr;
    void* display = nullptr;
    void* registry = nullptr;
    void* seat = nullptr;
    void* manager = nullptr;
    void* pointer = nullptr;
    std::string problem_;
};
